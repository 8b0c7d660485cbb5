// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/plan_alerts.h"
#include "platform/failure.h"
#include "tests/support/qstring_printer.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {

constexpr std::uint64_t kHour = 3600;
constexpr std::uint64_t kGo = 1'000'000'000;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
// kMax * 90 %, rounded up: the first count at 90 % of the largest allowance.
constexpr std::uint64_t kNinetyOfMax = 16602069666338596454u;

PlanUse Hours(std::uint64_t plan, std::uint64_t seconds) {
    return {PlanKind::Hours, plan, seconds};
}
PlanUse Volume(std::uint64_t allowance, std::uint64_t octets) {
    return {PlanKind::Volume, allowance, octets};
}

// Each story is a period's ticks in order; the fired thresholds of each plan carry from tick to
// tick as they do across a restart. Each tick expects its alert's text, or none.
TEST(DueAlert, OneAlertPerThresholdAndPeriod) {
    struct Tick {
        PlanUse use;
        const char* alert; // "" for none
    };
    struct Story {
        const char* name;
        std::vector<int> thresholds;
        std::vector<Tick> ticks;
    };
    const Story stories[] = {
        {"hours",
         kDefaultThresholds,
         {{Hours(20, 16 * kHour - 1), ""},
          {Hours(20, 16 * kHour), "Forfait : 80 % des heures utilisées (16h00 sur 20h), R.A.Z. le "
                                  "01/01/2027."},
          {Hours(20, 17 * kHour), ""},
          {Hours(20, 18 * kHour + 5 * 60 + 59),
           "Forfait : 90 % des heures utilisées (18h05 sur 20h), R.A.Z. le 01/01/2027."},
          {Hours(20, 20 * kHour - 1), ""},
          {Hours(20, 20 * kHour),
           "Forfait : 100 % des heures utilisées (20h00 sur 20h), R.A.Z. le 01/01/2027."},
          {Hours(20, 30 * kHour), ""}}},
        {"volume",
         kDefaultThresholds,
         {{Volume(2'500'000'000, 2 * kGo),
           "Forfait : 80 % du volume utilisé (2 Go sur 2,5 Go), R.A.Z. le 01/01/2027."},
          {Volume(2'500'000'000, 2'259'999'999),
           "Forfait : 90 % du volume utilisé (2,25 Go sur 2,5 Go), R.A.Z. le 01/01/2027."},
          {Volume(2'500'000'000, 2'600'000'000),
           "Forfait : 100 % du volume utilisé (2,6 Go sur 2,5 Go), R.A.Z. le 01/01/2027."}}},
        {"both plans, each its own thresholds",
         kDefaultThresholds,
         {{Hours(20, 16 * kHour), "Forfait : 80 % des heures utilisées (16h00 sur 20h), R.A.Z. le "
                                  "01/01/2027."},
          {Volume(10 * kGo, 8 * kGo),
           "Forfait : 80 % du volume utilisé (8 Go sur 10 Go), R.A.Z. le 01/01/2027."},
          {Hours(20, 16 * kHour), ""},
          {Volume(10 * kGo, 8 * kGo), ""}}},
        {"two thresholds in one tick: the higher one, and the lower never after",
         kDefaultThresholds,
         {{Hours(20, 10 * kHour), ""},
          {Hours(20, 19 * kHour),
           "Forfait : 90 % des heures utilisées (19h00 sur 20h), R.A.Z. le 01/01/2027."},
          {Hours(20, 19 * kHour + 60), ""}}},
        {"plan raised, then lowered, mid-period",
         kDefaultThresholds,
         {{Hours(20, 16 * kHour), "Forfait : 80 % des heures utilisées (16h00 sur 20h), R.A.Z. le "
                                  "01/01/2027."},
          {Hours(40, 17 * kHour), ""},
          {Hours(40, 32 * kHour), "Forfait : 80 % des heures utilisées (32h00 sur 40h), R.A.Z. le "
                                  "01/01/2027."},
          {Hours(35, 32 * kHour),
           "Forfait : 90 % des heures utilisées (32h00 sur 35h), R.A.Z. le 01/01/2027."}}},
        {"plan removed, then set again",
         kDefaultThresholds,
         {{Hours(20, 18 * kHour),
           "Forfait : 90 % des heures utilisées (18h00 sur 20h), R.A.Z. le 01/01/2027."},
          {Hours(0, 100 * kHour), ""},
          {Hours(20, 18 * kHour),
           "Forfait : 90 % des heures utilisées (18h00 sur 20h), R.A.Z. le 01/01/2027."}}},
        {"reset",
         kDefaultThresholds,
         {{Volume(kGo, kGo), "Forfait : 100 % du volume utilisé (1 Go sur 1 Go), R.A.Z. le "
                             "01/01/2027."},
          {Volume(kGo, 0), ""},
          {Volume(kGo, 800'000'000),
           "Forfait : 80 % du volume utilisé (0,8 Go sur 1 Go), R.A.Z. le 01/01/2027."}}},
        {"thresholds from the settings, out of range ones ignored",
         {50, 0, 100, 150, -5},
         {{Hours(10, 4 * kHour), ""},
          {Hours(10, 5 * kHour), "Forfait : 50 % des heures utilisées (5h00 sur 10h), R.A.Z. le "
                                 "01/01/2027."},
          {Hours(10, 9 * kHour + 59 * 60), ""},
          {Hours(10, 10 * kHour),
           "Forfait : 100 % des heures utilisées (10h00 sur 10h), R.A.Z. le 01/01/2027."}}},
        {"the largest allowance",
         kDefaultThresholds,
         {{Volume(kMax, kNinetyOfMax - 1),
           "Forfait : 80 % du volume utilisé (16602069666,33 Go sur 18446744073,709551615 Go), "
           "R.A.Z. le 01/01/2027."},
          {Volume(kMax, kNinetyOfMax),
           "Forfait : 90 % du volume utilisé (16602069666,33 Go sur 18446744073,709551615 Go), "
           "R.A.Z. le 01/01/2027."}}},
    };
    for (const Story& story : stories) {
        std::map<PlanKind, FiredThresholds> fired;
        for (std::size_t i = 0; i < story.ticks.size(); ++i) {
            const Tick& tick = story.ticks[i];
            const auto alert =
                DueAlert(tick.use, story.thresholds, fired[tick.use.kind], QDate(2027, 1, 1));
            EXPECT_EQ(alert ? alert->text : QString(), QString::fromUtf8(tick.alert))
                << story.name << ", tick " << i;
        }
    }
}

// The thresholds as a hand may write them in the settings file.
TEST(ThresholdsFromText, NumbersBetweenCommasOthersLeftOut) {
    EXPECT_EQ(ThresholdsFromText(" 70, 85 ,x,,95%,100"), (std::vector<int>{70, 85, 100}));
    EXPECT_EQ(ThresholdsText({90, 80}), "80,90");
}

TEST(AllowanceFromText, GigaoctetsWithADecimalComma) {
    const struct {
        const char* typed;
        std::uint64_t octets;
        const char* shown;
    } accepted[] = {{"2,5", 2'500'000'000, "2,5"},
                    {" 0 ", 0, "0"},
                    {"0,000", 0, "0"},
                    {"12", 12 * kGo, "12"},
                    {"0,000000001", 1, "0,000000001"},
                    {"18446744073,709551615", kMax, "18446744073,709551615"}};
    for (const auto& row : accepted) {
        EXPECT_EQ(AllowanceFromText(QString::fromUtf8(row.typed)), row.octets) << row.typed;
        EXPECT_EQ(AllowanceText(row.octets), QString::fromUtf8(row.shown)) << row.typed;
    }
    for (const char* typed :
         {"", "-1", "+1", "2.5", "2,", ",5", "2,5 Go", "deux", "1 000", "1,0000000001",
          "18446744073,709551616", "٣", "99999999999999999999", "1,5,0", "1 ,5"}) {
        try {
            AllowanceFromText(QString::fromUtf8(typed));
            ADD_FAILURE() << "accepted " << typed;
        } catch (const platform::Failure& error) {
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      QStringLiteral("'%1' n'est pas un forfait de volume correct : un nombre de "
                                     "Go, avec une virgule décimale (2,5), ou 0 pour aucun")
                          .arg(QString::fromUtf8(typed)));
        }
    }
}

} // namespace
