// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/export.h"
#include "journal/forecast.h"
#include "tests/support/qstring_printer.h"

#include <gtest/gtest.h>
#include <time.h>

namespace {

// Days and their changes of time as in France.
class ForecastTest : public ::testing::Test {
protected:
    ForecastTest() {
        qputenv("TZ", "Europe/Paris");
        tzset();
    }
    static QDateTime Local(int y, int m, int d, int h = 0, int min = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min));
    }
};

TEST_F(ForecastTest, NextResetDay) {
    struct Case {
        int resetDay;
        QDate today, periodStart, next;
    };
    const Case cases[] = {
        {1, {2026, 12, 9}, {2026, 12, 1}, {2027, 1, 1}},
        {10, {2026, 12, 9}, {2026, 11, 10}, {2026, 12, 10}},
        {9, {2026, 12, 9}, {2026, 12, 9}, {2027, 1, 9}},
        {31, {2027, 2, 10}, {2027, 1, 31}, {2027, 2, 28}},
        {31, {2028, 2, 10}, {2028, 1, 31}, {2028, 2, 29}},
        {31, {2027, 2, 28}, {2027, 2, 28}, {2027, 3, 31}},
        {31, {2026, 4, 30}, {2026, 3, 31}, {2026, 5, 31}},
        {0, {2026, 12, 9}, {2026, 11, 20}, {2026, 12, 20}},
        {0, {2026, 12, 25}, {2026, 10, 20}, {2027, 1, 20}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextResetDay(c.resetDay, c.today, c.periodStart), c.next)
            << c.resetDay << " " << c.today.toString(Qt::ISODate).toStdString();
    }
}

// The pace so far carried to the next reset, over periods of 31, 28 and 30 days, across a change
// of time, and without a plan.
TEST_F(ForecastTest, PredictAndSay) {
    struct Case {
        const char* what;
        std::int64_t used;
        std::int32_t plan;
        QDateTime start, now, reset;
        QString sentence;
    };
    const Case cases[] = {
        {"never reached", 5 * 3600, 20, Local(2026, 12, 1), Local(2026, 12, 11), Local(2027, 1, 1),
         "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste "
         "4h30m)."},
        {"31 days", 10 * 3600, 20, Local(2026, 12, 1), Local(2026, 12, 11), Local(2027, 1, 1),
         "À ce rythme, le forfait sera atteint le 21/12/2026."},
        {"28 days", 14 * 3600, 20, Local(2027, 2, 1), Local(2027, 2, 15), Local(2027, 3, 1),
         "À ce rythme, le forfait sera atteint le 21/02/2027."},
        {"30 days", 7 * 3600 + 1800, 20, Local(2026, 11, 1), Local(2026, 11, 16),
         Local(2026, 12, 1),
         "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste "
         "5h0m)."},
        {"reached today", 19 * 3600 + 1800, 20, Local(2026, 12, 1), Local(2026, 12, 10, 12),
         Local(2027, 1, 1), "À ce rythme, le forfait sera atteint le 10/12/2026."},
        {"already reached", 20 * 3600, 20, Local(2026, 12, 1), Local(2026, 12, 10),
         Local(2027, 1, 1), "Le forfait de 20 heures est atteint (20h0m utilisées)."},
        {"spring forward: the last days are an hour shorter", 5 * 3600, 20, Local(2026, 3, 22),
         Local(2026, 3, 27), Local(2026, 4, 1),
         "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste 10h2m)."},
        {"nothing used yet", 0, 20, Local(2026, 12, 1), Local(2026, 12, 1, 1), Local(2027, 1, 1),
         "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste 20h0m)."},
        {"no plan", 5 * 3600, 0, Local(2026, 12, 1), Local(2026, 12, 11), Local(2027, 1, 1),
         "Sans forfait : 5h0m depuis la R.A.Z."},
    };
    for (const Case& c : cases) {
        const Forecast forecast = Predict(c.used, c.plan, c.start, c.now, c.reset);
        EXPECT_EQ(ForecastSentence(forecast, c.used, c.plan), c.sentence) << c.what;
    }
}

// A connection across midnight is shared between its days by its time in each, the change of
// time included, and nothing is lost to rounding.
TEST_F(ForecastTest, SecondsPerDay) {
    const auto connection = [](const QDateTime& start, const QDateTime& end, int seconds) {
        return JournalEntry{start.toUTC(),    end.toUTC(), seconds, "ppp0", 0, 0,
                            EntryKind::Ended, "20"};
    };
    struct Case {
        const char* what;
        JournalEntry entry;
        QDate first;
        QList<std::int64_t> days;
    };
    const Case cases[] = {
        {"within a day",
         connection(Local(2026, 12, 2, 10), Local(2026, 12, 2, 11), 3610),
         {2026, 12, 1},
         {0, 3610, 0}},
        {"spring forward",
         connection(Local(2026, 3, 28, 23, 30), Local(2026, 3, 29, 3, 30), 10810),
         {2026, 3, 28},
         {1801, 9009, 0}},
        {"fall back",
         connection(Local(2026, 10, 24, 23), Local(2026, 10, 25, 3), 18010),
         {2026, 10, 24},
         {3602, 14408, 0}},
        {"before the first day",
         connection(Local(2026, 11, 30, 23), Local(2026, 12, 1, 1), 7210),
         {2026, 12, 1},
         {3605, 0, 0}},
        {"a reset is no connection",
         {Local(2026, 12, 2).toUTC(), Local(2026, 12, 2).toUTC(), 99, "", 0, 0, EntryKind::Reset,
          "20"},
         {2026, 12, 1},
         {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SecondsPerDay({c.entry}, c.first, 3), c.days) << c.what;
    }
}

TEST_F(ForecastTest, VolumesAndExport) {
    const std::pair<std::uint64_t, QString> volumes[] = {{0, "0,0 ko"},
                                                         {3240, "3,2 ko"},
                                                         {350'249'999, "350,2 Mo"},
                                                         {999'999'999, "1 000,0 Mo"},
                                                         {1'250'000'000, "1,25 Go"},
                                                         {(1ULL << 40), "1 099,51 Go"}};
    for (const auto& [octets, text] : volumes) {
        EXPECT_EQ(VolumeText(octets).replace(QChar(0x202F), ' ').replace(QChar(0xA0), ' '), text);
    }
    const QList<JournalEntry> rows = {{Local(2026, 12, 9, 10, 20).toUTC(),
                                       Local(2026, 12, 9, 11).toUTC(), 2410, "ppp0",
                                       5'000'000'000ULL, 12, EntryKind::Ended, "20"},
                                      {Local(2026, 12, 10).toUTC(), Local(2026, 12, 10).toUTC(), 0,
                                       "", 0, 0, EntryKind::Plan, "a;\"b"}};
    EXPECT_EQ(CsvText(rows),
              "\xEF\xBB\xBF"
              "Début;Fin;Secondes comptées;Interface;Octets reçus;Octets envoyés;Événement;"
              "Forfait (heures)\r\n"
              "09/12/2026 10:20:00;09/12/2026 11:00:00;2410;ppp0;5000000000;12;fin de "
              "connexion;20\r\n"
              "10/12/2026 00:00:00;10/12/2026 00:00:00;0;;0;0;forfait fixé;\"a;\"\"b\"\r\n");
}

} // namespace
