// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/export.h"
#include "shell/history_window.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QTest>

namespace {

QDateTime At(int day, int hour) {
    return QDateTime(QDate(2026, 12, day), QTime(hour, 0));
}

JournalEntry Connection(int day, int hour, int hours, std::uint64_t octets) {
    return {At(day, hour).toUTC(),
            At(day, hour + hours).toUTC(),
            hours * 3600,
            "ppp0",
            octets,
            octets / 10,
            EntryKind::Ended,
            "20"};
}

class HistoryWindowTest : public InTemporaryDirectory {
protected:
    Journal journal;
    CounterFacts facts{At(1, 0), 0, 20, 1, At(11, 0)};
    TForm5 window{journal, [this] { return facts; }};

    HistoryWindowTest() {
        const QDateTime lastMonth(QDate(2026, 11, 1), QTime(0, 0));
        JournalStore store;
        store.Add({{lastMonth.toUTC(), lastMonth.toUTC(), 0, "", 0, 0, EntryKind::Reset, "20"},
                   {lastMonth.addDays(3).toUTC(), lastMonth.addDays(3).toUTC().addSecs(60), 70,
                    "ppp0", 1, 2, EntryKind::Ended, "20"},
                   {At(1, 0).toUTC(), At(1, 0).toUTC(), 0, "", 0, 0, EntryKind::Reset, "20"}});
        for (const JournalEntry& entry :
             {Connection(2, 10, 2, 1'500'000'000), Connection(5, 20, 3, 400'000'000)}) {
            store.Add({entry});
            facts.used += entry.seconds;
        }
    }
    // Waits for the reads the window asked for.
    void Loaded() const {
        EXPECT_TRUE(QTest::qWaitFor([this] { return window.Chart1()->title().isEmpty(); }));
    }
    QList<QPointF> Points(const QString& name) const {
        for (QAbstractSeries* series : window.Chart1()->series()) {
            if (series->name() == name) {
                return static_cast<QLineSeries*>(series)->points();
            }
        }
        return {};
    }
};

// The current period from a scripted journal: 5 h in 10 days of a 31-day period whose plan is 20 h.
TEST_F(HistoryWindowTest, ShowsTheCurrentPeriod) {
    window.show();
    EXPECT_EQ(window.Chart1()->title(), "Chargement…");
    EXPECT_EQ(window.cursor().shape(), Qt::BusyCursor);
    Loaded();
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    const auto* bars = static_cast<QBarSeries*>(window.Chart1()->series().first())->barSets()[0];
    ASSERT_EQ(bars->count(), 32) << "1 December to the reset of 1 January";
    EXPECT_EQ(bars->at(1), 2);
    EXPECT_EQ(bars->at(4), 3);
    EXPECT_EQ(Points("Cumul").size(), 11);
    EXPECT_EQ(Points("Cumul").last(), QPointF(10, 5));
    EXPECT_EQ(Points("Forfait"), (QList<QPointF>{{0, 20}, {31, 20}}));
    EXPECT_EQ(Points("Prévision"), (QList<QPointF>{{10, 5}, {31, 15.5}}));
    EXPECT_EQ(window.Label1()->text(),
              "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste 4h30m).");
    EXPECT_EQ(window.Label2()->text().replace(QChar(0x202F), ' ').replace(QChar(0xA0), ' '),
              "Volume de la période : reçu 1,90 Go, envoyé 190,0 Mo.");
    // Against the allowance, the counter's volume: 1,9 Go in 10 days leaves 3,2 days to go.
    facts.volume = 1'900'000'000;
    facts.allowance = 2'500'000'000;
    window.Refresh();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.Label2()->text().contains('\n'); }));
    EXPECT_EQ(window.Label2()->text().section('\n', 1),
              "Forfait de volume : 1,90 Go utilisés sur 2,5 Go ; à ce rythme, il sera atteint le "
              "14/12/2026.");
    EXPECT_EQ(window.Periodes1()->count(), 2);
    QTableWidget& table = *window.sgconnexions();
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.item(0, 2)->text(), "3h0m0s") << "newest first";
    EXPECT_EQ(table.item(2, 6)->text(), "réinitialisation du compteur");

    // A connection ending while the window is open adds its row.
    journal.Record(Connection(10, 8, 1, 0),
                   [](const QString& text) { FAIL() << text.toStdString(); });
    EXPECT_TRUE(QTest::qWaitFor([&table] { return table.rowCount() == 4; }));

    window.Periodes1()->setCurrentIndex(1);
    emit window.Periodes1()->activated(1);
    Loaded();
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(window.Label1()->text(), "Du 01/11/2026 au 01/12/2026 : 0h1m.");
    EXPECT_TRUE(Points("Prévision").isEmpty());
}

// A correction shows in the table with the totals it changed, and makes the cumulated line jump on
// its day, with no bar.
TEST_F(HistoryWindowTest, ACorrectionMakesTheCumulatedLineJump) {
    JournalStore().Add({{At(8, 12).toUTC(), At(8, 12).toUTC(), 1800, "", 0, 0,
                         EntryKind::Correction, "20", 0, 5 * 3600 + 1800}});
    facts.used += 1800;
    window.show();
    Loaded();
    const auto* bars = static_cast<QBarSeries*>(window.Chart1()->series().first())->barSets()[0];
    EXPECT_EQ(bars->at(7), 0);
    EXPECT_EQ(Points("Cumul").mid(6, 2), (QList<QPointF>{{6, 5}, {7, 5.5}}));
    EXPECT_EQ(Points("Cumul").last(), QPointF(10, 5.5));
    EXPECT_EQ(window.sgconnexions()->item(0, 6)->text(),
              "correction du compteur : 5h0m0s → 5h30m0s (+0h30m0s)");
}

// The export writes the shown period's rows, and nothing when the user gives no name.
TEST_F(HistoryWindowTest, ExportsTheShownPeriod) {
    window.show();
    Loaded();
    QString proposed;
    window.SetFileQuestion([&](QWidget*, const QString& name) {
        proposed = name;
        return QString();
    });
    window.Exporter1Click();
    EXPECT_EQ(proposed, "connexions-2026-12-01.csv");
    EXPECT_TRUE(QDir().entryList(QDir::Files).filter(".csv").isEmpty());
    window.SetFileQuestion([](QWidget*, const QString& name) { return name; });
    window.Exporter1Click();
    Loaded();
    EXPECT_EQ(Bytes("connexions-2026-12-01.csv"),
              CsvText(JournalStore().Entries(At(1, 0), At(12, 0))));
    EXPECT_EQ(Bytes("connexions-2026-12-01.csv").count("\r\n"), 4);
}

} // namespace
