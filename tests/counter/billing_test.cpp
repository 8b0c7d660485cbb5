// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/billing.h"
#include "counter/settings.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <QFileInfo>
#include <ctime>

namespace {

// Wall-clock times of a zone that changes its clocks, whatever the machine's.
class InParis : public InTemporaryDirectory {
protected:
    InParis() : previous_(qgetenv("TZ")) { SetZone("Europe/Paris"); }
    ~InParis() override { SetZone(previous_); }

    static QDateTime At(const char* text) {
        return QDateTime::fromString(QString::fromLatin1(text), "yyyy-MM-dd HH:mm:ss");
    }

private:
    static void SetZone(const QByteArray& zone) {
        if (zone.isEmpty()) {
            qunsetenv("TZ");
        } else {
            qputenv("TZ", zone);
        }
        tzset();
    }
    QByteArray previous_;
};

BillingRule Rule(std::int32_t deadTime, std::int32_t firstPeriod, std::int32_t step,
                 const char* freeFrom = "00:00", const char* freeTo = "00:00",
                 bool saturday = false, bool sunday = false) {
    return {deadTime,
            firstPeriod,
            step,
            QTime::fromString(freeFrom, "HH:mm"),
            QTime::fromString(freeTo, "HH:mm"),
            saturday,
            sunday};
}

// What a connection seen up from start to end (local wall-clock times) is charged, counted as the
// counter counts it: once begun, a second at a time.
TEST_F(InParis, ChargeOfAConnection) {
    const BillingRule night = Rule(10, 0, 1, "22:00", "08:00");
    const struct {
        const char* name;
        BillingRule rule;
        const char* start;
        const char* end;
        std::int32_t charged;
    } cases[] = {
        {"default, 5 s", {}, "2026-12-09 10:00:00", "2026-12-09 10:00:05", 15},
        {"default, first tick", {}, "2026-12-09 10:00:00", "2026-12-09 10:00:01", 11},
        {"first minute whole", Rule(10, 60, 1), "2026-12-09 10:00:00", "2026-12-09 10:00:05", 60},
        {"first minute, then by the second", Rule(10, 60, 1), "2026-12-09 10:00:00",
         "2026-12-09 10:00:51", 61},
        {"by started 30 s", Rule(0, 0, 30), "2026-12-09 10:00:00", "2026-12-09 10:00:31", 60},
        {"by started 30 s, exact", Rule(0, 0, 30), "2026-12-09 10:00:00", "2026-12-09 10:00:30",
         30},
        {"by started minute, dead time included", Rule(10, 0, 60), "2026-12-09 10:00:00",
         "2026-12-09 10:00:55", 120},
        {"enters the free window", night, "2026-12-09 21:59:00", "2026-12-09 22:01:00", 70},
        {"leaves the free window, no dead time", night, "2026-12-10 07:59:00",
         "2026-12-10 08:01:00", 60},
        {"across the whole free night", night, "2026-12-09 21:00:00", "2026-12-10 09:00:00", 7210},
        {"within the free night", night, "2026-12-09 23:00:00", "2026-12-10 01:00:00", 0},
        {"into a free Saturday", Rule(10, 0, 1, "00:00", "00:00", true), "2026-12-11 23:59:00",
         "2026-12-12 00:01:00", 70},
        {"Saturday, Sunday alone free", Rule(10, 0, 1, "00:00", "00:00", false, true),
         "2026-12-12 10:00:00", "2026-12-12 10:01:00", 70},
        {"free window and first minute", Rule(10, 60, 30, "22:00", "08:00"), "2026-12-09 21:59:50",
         "2026-12-09 23:00:00", 60},
        // Eleven hours pass that night, nine of them free; thirteen in autumn, eleven free.
        {"spring change, free night", night, "2026-03-28 21:00:00", "2026-03-29 09:00:00", 7210},
        {"autumn change, free night", night, "2026-10-24 21:00:00", "2026-10-25 09:00:00", 7210},
        // The window's start lies in the skipped hour: free from 03:00, as the clocks land.
        {"free window starting in the skipped hour", Rule(10, 0, 1, "02:30", "05:00"),
         "2026-03-29 01:00:00", "2026-03-29 06:00:00", 7210},
    };
    ASSERT_EQ(At("2026-03-28 21:00:00").secsTo(At("2026-03-29 09:00:00")), 11 * 3600)
        << "the clocks change in the zone";
    for (const auto& c : cases) {
        ConnectionCharge charge;
        const QDateTime start = At(c.start);
        charge.Begin(c.rule, start);
        // In uneven stretches, as late ticks bring them, so that edges fall within one.
        for (QDateTime now = start; now < At(c.end);) {
            const auto seconds =
                static_cast<std::int32_t>(std::min<qint64>(now.secsTo(At(c.end)), 97));
            now = now.addSecs(seconds);
            charge.Advance(c.rule, seconds, now);
        }
        EXPECT_EQ(charge.Up(), start.secsTo(At(c.end))) << c.name;
        EXPECT_EQ(charge.Charged(c.rule), c.charged) << c.name;
    }
}

// The rule goes to the settings file only once it leaves the default, and comes back whole; a
// value edited by hand that cannot serve reads as its default.
TEST_F(InParis, RuleKeptInTheSettings) {
    Settings settings;
    WriteBillingRule(settings, BillingRule{});
    EXPECT_FALSE(QFileInfo::exists(kSettingsFileName));
    const BillingRule rule = Rule(5, 60, 30, "22:00", "08:00", true, true);
    WriteBillingRule(settings, rule);
    EXPECT_EQ(ReadBillingRule(Settings()), rule);
    EXPECT_EQ(RuleText(rule), "temps mort = 5 s, première minute indivisible, puis par tranches "
                              "de 30 s, gratuit de 22:00 à 08:00, le samedi et le dimanche");

    Put(kSettingsFileName, "[facturation]\npas=0\ntemps_mort=-3\ngratuit_debut=25:00\n");
    EXPECT_EQ(ReadBillingRule(Settings()), BillingRule{});
}

} // namespace
