// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/checkpoint.h"
#include "counter/counter.h"
#include "counter/counter_files.h"
#include "counter/settings.h"
#include "fake_view.h"
#include "journal/journal.h"
#include "journal/journal_store.h"
#include "platform/failure.h"
#include "platform/fake/fake_platform.h"
#include "platform/notifications.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <QDate>
#include <QSignalSpy>
#include <QTest>

namespace {

using Look = CounterView::Look;

class CounterTest : public InTemporaryDirectory {
protected:
    platform::FakePlatform fake;
    platform::ScopedPlatform installed{fake};
    FakeView view;
    Counter counter{view};

    // The monotonic clock, a second further at each tick.
    std::int64_t now = 0;

    CounterTest() {
        counter.SetToday(QDate(2003, 3, 20));
        counter.SetClock([this] { return now; });
    }

    // The grid as the sampler leaves it: one row per adapter, with rates.
    void Adapters(const QStringList& descriptions, const QString& rate = "0") {
        view.grid.SetRowCount(static_cast<int>(descriptions.size()) + 2);
        for (int row = 1; row <= descriptions.size(); ++row) {
            view.grid.SetCell(0, row, descriptions[row - 1]);
            view.grid.SetCell(3, row, rate);
            view.grid.SetCell(6, row, rate);
        }
    }
    void Start(const QByteArray& counterFile = "05/03/2003 14:07:09\r\n754\r\n20\r\n") {
        Put(kCounterFileName, counterFile);
        Put(kResetDayFileName, "1\r\n");
        Adapters({"lo - Interface de bouclage", "ppp0 - Interface WAN (PPP)"});
        counter.Reload();
    }
    void Ticks(int count, bool connected) {
        fake.connected = connected;
        for (int i = 0; i < count; ++i) {
            now += 1000;
            counter.Tick();
        }
    }
    static QString Line(int index) {
        return QString::fromLocal8Bit(SplitLines(Bytes(kCounterFileName), 3)[index - 1]);
    }
    static QStringList Lines() { return {Line(1), Line(2), Line(3)}; }
    // The journal's rows of the last day, once its worker has written them.
    QList<JournalEntry> Journalled() {
        counter.History().Close();
        const QDateTime today = QDateTime::currentDateTimeUtc();
        return JournalStore().Entries(today.addDays(-1), today.addDays(1));
    }
};

TEST_F(CounterTest, AConnectionOfFiveSecondsAddsFifteen) {
    Start();
    Ticks(1, false);
    EXPECT_EQ(view.connectionTime, "Déconnecté");
    EXPECT_EQ(view.cumulatedTime, "0h12m34s, depuis 05/03/2003 14:07:09");
    Ticks(1, true);
    EXPECT_EQ(view.connectionTime, "0h0m11s");
    EXPECT_EQ(view.cumulatedTime, "0h12m35s, depuis 05/03/2003 14:07:09");
    EXPECT_EQ(view.look, Look::Connected);
    EXPECT_EQ(std::make_pair(view.dial, view.hangUp), std::make_pair(false, true));
    Ticks(4, true);
    EXPECT_EQ(Line(2), "754") << "nothing is written while connected";
    Ticks(1, false);
    EXPECT_EQ(Bytes(kCounterFileName), "05/03/2003 14:07:09\r\n769\r\n20\r\n");
    EXPECT_EQ(view.cumulatedTime, "0h12m49s, depuis 05/03/2003 14:07:09");
    EXPECT_EQ(view.connectionTime, "Déconnecté");
    EXPECT_EQ(view.look, Look::Disconnected);
    EXPECT_EQ(view.trayFrames, (std::vector<int>{-1, 0, 1, 2, 0, 1, -1}));
    EXPECT_FALSE(QFile::exists(kSettingsFileName)) << "nothing to keep: no settings file";
    Ticks(1, true);
    EXPECT_EQ(view.connectionTime, "0h0m11s") << "each connection has its dead time";
}

// Under a rule of its settings file, the strip, the checkpoint, line 2 and the journal carry the
// charge: the first minute whole, then by started 30 s; the journal keeps the time up beside it.
TEST_F(CounterTest, AConnectionIsChargedByTheRuleInForce) {
    Put(kSettingsFileName, "[facturation]\nminimum=60\npas=30\n");
    Start();
    Ticks(1, true);
    EXPECT_EQ(view.connectionTime, "0h1m0s");
    EXPECT_EQ(view.cumulatedTime, "0h13m24s, depuis 05/03/2003 14:07:09") << "but the dead time";
    EXPECT_EQ(SplitLines(Bytes(kCheckpointFileName), 3)[2], "60");
    Ticks(60, true);
    EXPECT_EQ(view.connectionTime, "0h1m30s") << "71 s counted";
    Ticks(1, false);
    EXPECT_EQ(Line(2), "844");
    const auto rows = Journalled();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(std::make_pair(rows[0].seconds, rows[0].upSeconds), std::make_pair(90, 61));
}

TEST_F(CounterTest, OnlyAWanAdapterMakesAConnection) {
    Start();
    const std::pair<QString, bool> cases[] = {{"eth0 - Interface Ethernet", false},
                                              {"Modem - wAN", false},
                                              {"Adaptateur WAN Miniport", true},
                                              {"Wan", true},
                                              {"xwanx", true}};
    for (const auto& [adapter, counted] : cases) {
        Adapters({"lo", adapter});
        Ticks(1, true);
        EXPECT_EQ(view.look, counted ? Look::Connected : Look::Disconnected)
            << adapter.toStdString();
        Ticks(1, false);
    }
    Adapters({"ppp0 - Interface WAN (PPP)"});
    Ticks(3, false);
    EXPECT_EQ(view.look, Look::Disconnected) << "no connection reported by the system";
}

TEST_F(CounterTest, ThroughputSumsTheRowsWithBothRates) {
    Start();
    Adapters({"lo", "eth0", "ppp0 - WAN"}, "100");
    view.grid.SetCell(6, 2, "");
    view.grid.SetCell(3, 3, "2147483647");
    Ticks(1, false);
    EXPECT_EQ(view.throughput, "2147483947");
    view.grid.SetCell(3, 1, "12k");
    EXPECT_THROW(Ticks(1, false), platform::ConversionError);
}

TEST_F(CounterTest, PlanAlarmBeepsBlinksAndWarns) {
    Start("05/03/2003\r\n10799\r\n3\r\n");
    Ticks(1, true);
    EXPECT_EQ(view.cumulatedTime, "3h0m0s, depuis 05/03/2003");
    EXPECT_EQ(fake.beeps, 0) << "judged on the previous tick's hours";
    Ticks(1, true);
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_TRUE(view.alarm);
    EXPECT_EQ(view.cumulatedTime, "Attention Dépassement Forfait !");
    Ticks(1, true);
    EXPECT_FALSE(view.alarm);
    EXPECT_EQ(view.cumulatedTime, "3h0m2s, depuis 05/03/2003");
    Ticks(1, false);
    EXPECT_EQ(fake.beeps, 3);
    EXPECT_EQ(view.cumulatedTime, "Attention Dépassement Forfait !");

    view.answers.push_back([] { return QString("0"); });
    counter.SetPlan();
    Ticks(2, false);
    EXPECT_EQ(fake.beeps, 3);
    EXPECT_FALSE(view.alarm);
}

TEST_F(CounterTest, DisconnectionUpdateWithOddLines) {
    Start("05/03/2003\r\n0\r\n20\r\n");
    Put(kCounterFileName, "05/03/2003\r\n\r\n20\r\n");
    Ticks(2, true);
    Ticks(1, false);
    EXPECT_EQ(Line(2), "12") << "an empty line 2 counts as 0";

    Ticks(3, true);
    Put(kCounterFileName, "05/03/2003\r\n2147483640\r\n20\r\n");
    EXPECT_THROW(Ticks(1, false), platform::OverflowError);
    EXPECT_EQ(Line(2), "2147483640");
    EXPECT_EQ(counter.ConnectionTime(), 13);
    EXPECT_EQ(SplitLines(Bytes(kCheckpointFileName), 3)[2], "13")
        << "until it is recorded, the connection is kept whole in the checkpoint";
}

// The update is retried at every tick until the file can be written again, and then records the
// whole connection with its dead time.
TEST_F(CounterTest, ACounterFileDeletedDuringAConnection) {
    Start();
    Ticks(3, true);
    QFile::remove(kCounterFileName);
    for (int i = 0; i < 3; ++i) {
        try {
            Ticks(1, false);
            ADD_FAILURE() << "the update succeeded without a file";
        } catch (const platform::IoError& error) {
            EXPECT_STREQ(error.what(), "Fichier introuvable");
        }
    }
    EXPECT_TRUE(counter.Connected());
    Ticks(1, true);
    Put(kCounterFileName, "05/03/2003 14:07:09\r\n754\r\n20\r\n");
    Ticks(1, false);
    EXPECT_EQ(Line(2), "768");
    EXPECT_FALSE(counter.Connected());
}

TEST_F(CounterTest, FirstRunInAnEmptyDirectory) {
    // Even on a day that would call for it, a file made now needs no reset.
    counter.SetToday(QDate::currentDate().addMonths(2));
    counter.Reload();
    const QStringList lines = Lines();
    EXPECT_TRUE(lines[0].startsWith(QDate::currentDate().toString("dd/MM/yyyy")))
        << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1), QStringList({"0", "1"}));
    EXPECT_EQ(view.helpShown, 1);
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(view.resetDayAndMonth, "0/" + QString::number(QDate::currentDate().month()));
    EXPECT_EQ(view.cumulatedTime, "?") << "labels wait for the first tick";
    EXPECT_EQ(counter.Plan(), 1);
}

TEST_F(CounterTest, MonthlyReminder) {
    struct Case {
        const char* resetDate;
        const char* resetDay; // nullptr: no reset-day file
        QDate today;
        bool reminded;
    };
    // Without a reset-day file the day is 0 until a first one is read, then keeps its value.
    const Case cases[] = {{"05/03/2026", nullptr, {2026, 4, 1}, true},
                          {"05/03/2026 10:00:00", "10", {2026, 4, 10}, false},
                          {"05/03/2026 10:00:00", "10", {2026, 4, 11}, true},
                          {"05/03/2026 10:00:00", "10", {2026, 3, 11}, false},
                          {"05/12/2025 10:00:00", "10", {2026, 1, 11}, true},
                          {"05/12/2025 10:00:00", "10", {2026, 1, 10}, false},
                          {"05/12/2026", "10", {2026, 1, 11}, false},
                          {"05/03/2026", "31", {2026, 5, 31}, false},
                          {"05/03/2026", nullptr, {2026, 4, 10}, false},
                          {"05/03", "1", {2026, 4, 2}, true}};
    for (const Case& c : cases) {
        Put(kCounterFileName, QByteArray(c.resetDate) + "\r\n0\r\n1\r\n");
        QFile::remove(kResetDayFileName);
        if (c.resetDay != nullptr) {
            Put(kResetDayFileName, c.resetDay);
        }
        view.messages.clear();
        counter.SetToday(c.today);
        counter.Reload();
        EXPECT_EQ(view.messages.size(), c.reminded ? 1 : 0)
            << c.resetDate << " " << c.today.toString().toStdString();
    }
    EXPECT_EQ(view.messages.value(0), "Demander la réinitialisation du compteur car la date "
                                      "de forfait est dépassée de plus d'un mois");
}

// A reload stops at a line it cannot read, saying which: what comes after keeps its value.
TEST_F(CounterTest, ReloadStopsAtALineItCannotRead) {
    Start();
    EXPECT_EQ(view.resetDayAndMonth, "1/3");
    const std::pair<QByteArray, const char*> cases[] = {
        {"05/04/2003\r\n\r\n20\r\n",
         "decompte_internet.log, ligne 2 : '' n'est pas une valeur entière correcte"},
        {"\r\n0\r\n20\r\n",
         "decompte_internet.log, ligne 1 : '' n'est pas une valeur entière correcte"}};
    for (const auto& [counterFile, message] : cases) {
        Put(kCounterFileName, counterFile);
        try {
            counter.Reload();
            ADD_FAILURE() << "no failure";
        } catch (const platform::Failure& failure) {
            EXPECT_STREQ(failure.what(), message);
        }
        EXPECT_EQ(view.resetDayAndMonth, "1/3");
    }
}

// A file the program cannot use is set aside, said once, and a new one carries on with what
// could be read: the connection made meanwhile is recorded whole.
TEST_F(CounterTest, AFileItCannotUseNeverStopsTheCount) {
    const QByteArray huge = "05/03/2003\r\n" + QByteArray(100000, '7') + "\r\n20\r\n";
    const struct {
        QByteArray counter, resetDay;
        QStringList after; // the new counter file, before the connection
        const char* why;
    } cases[] = {
        {"05/03/2003\r\n754\r\n",
         "1",
         {"05/03/2003", "754", "1"},
         "(ligne 3 : '' n'est pas une valeur entière correcte)"},
        {"05/03/2003\r\nabc\r\n20", "1", {"05/03/2003", "0", "20"}, "(ligne 2 : 'abc' n'est"},
        {QByteArrayLiteral("05/03/2003\r\n754\r\n2\x00"
                           "0"),
         "1",
         {"05/03/2003", "754", "1"},
         "'2\\x000' n'est"},
        {"05/03/2003\r\n" + QByteArray(300, '1') + "\r\n20",
         "1",
         {"05/03/2003", "0", "20"},
         "'1111111111111111111111111111111111111111…' n'est"},
        {huge, "1", {"*", "0", "1"}, "(il fait plus de 65536 octets)"},
        {"05/03/2003\r\n754\r\n20\r\n",
         "32",
         {"05/03/2003", "754", "20"},
         "jour_raz.txt ne peut pas servir (ligne 1 : '32' n'est pas un jour du mois (de 1 à 31))"},
    };
    Adapters({"ppp0 - Interface WAN (PPP)"});
    for (const auto& c : cases) {
        view.errors.clear();
        Put(kCounterFileName, c.counter);
        Put(kResetDayFileName, c.resetDay);
        counter.Reload();
        ASSERT_EQ(view.errors.size(), 1) << c.why;
        EXPECT_TRUE(view.errors[0].contains(c.why)) << view.errors[0].toStdString();
        EXPECT_TRUE(view.errors[0].contains("mis de côté sous le nom ")) << c.why;
        const QStringList lines = Lines();
        EXPECT_EQ(lines.mid(1), c.after.mid(1)) << c.why;
        if (c.after[0] != "*") {
            EXPECT_EQ(lines[0], c.after[0]);
        }
        Ticks(3, true);
        Ticks(1, false);
        EXPECT_EQ(Line(2), QString::number(c.after[1].toInt() + 13)) << c.why;
        EXPECT_EQ(view.errors.size(), 1) << "said once";
        for (const QString& name : QDir().entryList({"*.20*"}, QDir::Files)) {
            QFile::remove(name);
        }
    }
}

TEST_F(CounterTest, ResetAndResetDayCommands) {
    Start();
    view.answers.push_back([] { return std::nullopt; });
    counter.ResetCounter();
    EXPECT_EQ(Line(2), "754");
    view.answers.push_back([] { return QString(); });
    counter.ResetCounter();
    EXPECT_EQ(view.confirmations.last(), "Initialiser les valeurs enregistrées");
    EXPECT_EQ(Lines().mid(1), QStringList({"0", "20"}));

    view.answers.push_back([] { return QString("5"); });
    counter.ChangeResetDay();
    EXPECT_EQ(view.messages.last(), "Entrer le jour de R.A.Z. du compteur | Entre 1 et 28 sinon "
                                    "forçage en février | 1");
    EXPECT_EQ(Bytes(kResetDayFileName), "5\r\n");
    EXPECT_EQ(counter.ResetDay(), 5);
    // Only a day of the month is taken; the day before stays.
    for (const char* typed : {"le 5", "0", "32", "99999999999", ""}) {
        view.answers.push_back([typed] { return QString(typed); });
        counter.ChangeResetDay();
        EXPECT_EQ(view.messages.last(), QStringLiteral("Le jour de R.A.Z. doit être un nombre de 1 "
                                                       "à 31 : '%1' n'est pas retenu.")
                                            .arg(typed));
        EXPECT_EQ(Bytes(kResetDayFileName), "5\r\n");
    }
    Put(kResetDayFileName, " +5");
    counter.ShowResetDay();
    EXPECT_EQ(view.messages.last(), "La R.A.Z. du compteur est effectuée tous les  +5 du mois");

    QFile::remove(kResetDayFileName);
    view.answers.push_back([] { return std::nullopt; });
    const int help = view.helpShown;
    counter.ChangeResetDay();
    EXPECT_FALSE(QFile::exists(kResetDayFileName));
    EXPECT_EQ(view.helpShown, help + 1);
    counter.ShowResetDay();
    EXPECT_EQ(view.helpShown, help + 2);
}

TEST_F(CounterTest, ResetDuringAConnectionKeepsTheWholeConnection) {
    Start();
    Ticks(3, true);
    view.answers.push_back([] { return QString(); });
    counter.ResetCounter();
    Ticks(1, true);
    EXPECT_TRUE(view.cumulatedTime.startsWith("0h0m1s, depuis "));
    Ticks(1, false);
    EXPECT_EQ(Line(2), "14");
}

TEST_F(CounterTest, PlanCommand) {
    Start();
    view.answers.push_back([] { return std::nullopt; });
    counter.SetPlan();
    EXPECT_EQ(view.messages.last(), "Fixer le forfait en heures | Le forfait est actuellement de "
                                    "20 heures. Entrer la nouvelle valeur (0 pour illimité) | 20");
    view.answers.push_back([] { return QString(" 25"); });
    counter.SetPlan();
    EXPECT_EQ(Line(3), " 25");
    EXPECT_EQ(counter.Plan(), 25);

    view.answers.push_back([] { return QString("beaucoup"); });
    EXPECT_THROW(counter.SetPlan(), platform::ConversionError);
    EXPECT_EQ(Line(3), " 25");
    EXPECT_EQ(counter.PlanText(), " 25") << "a rejected answer is not kept";
    view.answers.push_back([] { return QString(); });
    counter.ResetCounter();
    EXPECT_EQ(Line(3), " 25");

    // A connection that ends while the question is open is kept.
    Ticks(4, true);
    view.answers.push_back([this] {
        Ticks(1, false);
        return QString("+8");
    });
    counter.SetPlan();
    EXPECT_EQ(Lines().mid(1), QStringList({"14", "+8"}));

    QFile::remove(kCounterFileName);
    EXPECT_THROW(counter.SetPlan(), platform::IoError);
}

// The volume allowance, typed in Go, watched like the hours: staged alerts and the pace in one
// notification, the alarm once reached, the period's octets and the alerts sent kept across a
// restart, the balloon without a notification service, and a reset that starts again.
TEST_F(CounterTest, VolumeAllowanceAlertsAlarmAndKeepsItsPeriod) {
    Start("05/03/2003 14:07:09\r\n754\r\n0\r\n");
    platform::LinkOctets& link = fake.linkCounters["ppp0 - Interface WAN (PPP)"];
    link.name = "ppp0";
    view.answers.push_back([] { return QString("2.5"); });
    EXPECT_THROW(counter.SetVolumePlan(), platform::Failure);
    view.answers.push_back([] { return QString("2,5"); });
    counter.SetVolumePlan();
    EXPECT_EQ(view.messages.last(), "Fixer le forfait de volume en Go | Aucun forfait de volume "
                                    "n'est fixé. Entrer la nouvelle valeur en Go de 1 000 000 000 "
                                    "octets, avec une virgule décimale (2,5), ou 0 pour aucun | 0");
    EXPECT_EQ(counter.VolumeAllowance(), 2'500'000'000u);

    Ticks(1, true);
    link.received = 1'500'000'000;
    link.sent = 800'000'000;
    Ticks(2, true);
    Ticks(1, false);
    using Sent = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(fake.notifications,
              (Sent{{"Forfait Internet",
                     "Forfait : 90 % du volume utilisé (2,3 Go sur 2,5 Go), R.A.Z. le 01/04/2003.\n"
                     "Forfait : à ce rythme, le volume sera épuisé le 21/03/2003, avant la R.A.Z. "
                     "du 01/04/2003."}}));
    EXPECT_EQ(fake.beeps, 0);

    Counter restarted(view);
    restarted.SetToday(QDate(2003, 3, 20));
    restarted.Reload();
    EXPECT_EQ(restarted.PeriodVolume(), 2'300'000'000u);
    fake.connected = true;
    restarted.Tick();
    platform::setNotificationFallback([this](const std::string& summary, const std::string& body) {
        fake.notifications.emplace_back("balloon: " + summary, body);
    });
    fake.notificationService = false;
    link.received += 200'000'000;
    restarted.Tick();
    restarted.Tick();
    platform::setNotificationFallback({});
    ASSERT_EQ(fake.notifications.size(), 2u) << "nothing again after the restart";
    EXPECT_EQ(fake.notifications.back(),
              (std::pair<std::string, std::string>{
                  "balloon: Forfait Internet",
                  "Forfait : 100 % du volume utilisé (2,5 Go sur 2,5 Go), R.A.Z. le 01/04/2003."}));
    EXPECT_EQ(fake.beeps, 1) << "the allowance reached raises the alarm";

    view.answers.push_back([] { return QString(); });
    restarted.ResetCounter();
    EXPECT_EQ(restarted.PeriodVolume(), 200'000'000u) << "the running connection goes on";
    fake.connected = false;
    restarted.Tick();
    restarted.Tick();
    EXPECT_EQ(restarted.PeriodVolume(), 200'000'000u);
    EXPECT_EQ(fake.beeps, 1);
}

// "Corriger le compteur" makes line 2 the operator's count and journals the totals; a text that is
// no duration changes nothing. A connection running meanwhile is added at its end.
TEST_F(CounterTest, CorrectionSetsTheOperatorsCount) {
    Start();
    const struct {
        const char* typed;
        const char* line2; // nullptr: refused
    } cases[] = {{"12:31:00", "45060"}, {" 12,5 ", "45000"}, {"12", "43200"},
                 {"0,0001", "0"},       {"12.5", nullptr},   {"12:60:00", nullptr},
                 {"-1", nullptr},       {"1:30", nullptr},   {"596524", nullptr},
                 {"", nullptr},         {"0:59:59", "3599"}};
    for (const auto& c : cases) {
        const QString before = Line(2);
        view.answers.push_back([&c] { return QString(c.typed); });
        counter.CorrectCounter();
        EXPECT_EQ(Line(2), c.line2 ? c.line2 : before) << c.typed;
        EXPECT_EQ(view.messages.last().contains("n'est pas une durée"), c.line2 == nullptr)
            << c.typed;
    }
    EXPECT_EQ(view.messages.first(),
              "Corriger le compteur | Le compteur indique 0h12m34s. Entrer le temps que "
              "l'opérateur facture pour la période (h:m:s, ou heures avec une virgule : 12,5) | "
              "0:12:34");
    Ticks(1, false);
    EXPECT_EQ(view.cumulatedTime, "0h59m59s, depuis 05/03/2003 14:07:09");
    const auto rows = Journalled();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].kind, EntryKind::Correction);
    EXPECT_EQ(std::make_pair(rows[0].seconds, rows[0].total), std::make_pair(45060 - 754, 45060));
    EXPECT_EQ(std::make_pair(rows[4].seconds, rows[4].total), std::make_pair(3599, 3599));

    Ticks(3, true);
    view.answers.push_back([] { return QString("1:00:00"); });
    counter.CorrectCounter();
    Ticks(1, false);
    EXPECT_EQ(Line(2), "3613");
}

TEST_F(CounterTest, DialHangUpQuitAndTermination) {
    Start();
    counter.Dial();
    counter.HangUp();
    EXPECT_EQ(fake.autodialCalls, 1);
    EXPECT_EQ(fake.autodialParent, static_cast<HWND>(&view));
    EXPECT_EQ(fake.hangupCalls, 1);

    Ticks(2, true);
    counter.Quit();
    EXPECT_EQ(view.messages.last(), "Impossible en cours de connexion");
    EXPECT_EQ(view.terminated, 0);
    counter.TerminationRequested();
    EXPECT_EQ(view.terminated, 1);
    EXPECT_EQ(Line(2), "766") << "the running connection is recorded before the exit";
    Ticks(1, false);
    counter.Quit();
    EXPECT_EQ(view.terminated, 2);

    // A termination request ends the program even when the connection cannot be recorded: the
    // checkpoint keeps it for the next start.
    Ticks(2, true);
    QFile::remove(kCounterFileName);
    EXPECT_THROW(counter.TerminationRequested(), platform::IoError);
    EXPECT_EQ(view.terminated, 3);
    EXPECT_EQ(SplitLines(Bytes(kCheckpointFileName), 3)[2], "12");
}

// The connection's seconds follow the clock from its first tick: a late tick, or a process
// stopped for a while, counts every whole second that passed; early or late ticks around the
// second count each second once.
TEST_F(CounterTest, ConnectionTimeFollowsTheClock) {
    Start("05/03/2003\r\n0\r\n20\r\n");
    const std::pair<std::int64_t, const char*> ticks[] = {{1000, "0h0m11s"},  {1950, "0h0m12s"},
                                                          {3040, "0h0m13s"},  {3990, "0h0m14s"},
                                                          {34000, "0h0m44s"}, {35000, "0h0m45s"}};
    fake.connected = true;
    for (const auto& [at, shown] : ticks) {
        now = at;
        counter.Tick();
        EXPECT_EQ(view.connectionTime, shown) << at;
    }
    EXPECT_EQ(view.cumulatedTime, "0h0m35s, depuis 05/03/2003");
    Ticks(1, false);
    EXPECT_EQ(Line(2), "45");
}

// Each way a connection or a command reaches the counter file adds one row to the journal, once
// the file is written, and only one.
TEST_F(CounterTest, EachPathJournalsOneRow) {
    const std::string wan = "ppp0 - Interface WAN (PPP)";
    struct Case {
        const char* path;
        std::function<void()> act;
        EntryKind kind;
        std::int32_t seconds;
        std::uint64_t received, sent;
    };
    // Five connected ticks, the link's counters growing by 1000 and 100 octets at each.
    const auto connect = [&] {
        for (std::uint64_t k = 0; k < 5; ++k) {
            fake.linkCounters[wan] = {"ppp0", (1ULL << 32) + 1000 * k, 500 + 100 * k};
            Ticks(1, true);
        }
    };
    const Case cases[] = {
        {"hang-up", [&] { connect(), Ticks(1, false); }, EntryKind::Ended, 15, 4000, 400},
        {"line drop", [&] { connect(), fake.linkCounters.clear(), Ticks(1, false); },
         EntryKind::Ended, 15, 4000, 400},
        {"termination", [&] { connect(), counter.TerminationRequested(); }, EntryKind::Stopped, 15,
         4000, 400},
        {"reset", [&] { view.answers.push_back([] { return QString(); }), counter.ResetCounter(); },
         EntryKind::Reset, 0, 0, 0},
        {"plan", [&] { view.answers.push_back([] { return QString("30"); }), counter.SetPlan(); },
         EntryKind::Plan, 0, 0, 0},
    };
    Start();
    Ticks(1, false);
    const QDateTime from = QDateTime::currentDateTimeUtc().addSecs(-1);
    qsizetype rows = 0;
    for (const Case& c : cases) {
        const QByteArray before = Bytes(kCounterFileName);
        QSignalSpy added(&counter.History(), &Journal::Added);
        c.act();
        Ticks(2, false);
        ASSERT_TRUE(!added.isEmpty() || added.wait()) << c.path;
        const auto entries = JournalStore().Entries(from, from.addDays(1));
        ASSERT_EQ(entries.size(), ++rows) << c.path << view.errors.join('\n').toStdString();
        const JournalEntry& row = entries.last();
        EXPECT_NE(Bytes(kCounterFileName), before) << c.path;
        EXPECT_EQ(row.kind, c.kind) << c.path;
        EXPECT_EQ(row.seconds, c.seconds) << c.path;
        EXPECT_EQ(row.received, c.received) << c.path;
        EXPECT_EQ(row.sent, c.sent) << c.path;
        EXPECT_EQ(row.interfaceName, c.seconds ? "ppp0" : "") << c.path;
        EXPECT_EQ(row.plan, Line(3)) << c.path;
    }
    EXPECT_TRUE(view.errors.isEmpty()) << view.errors.join('\n').toStdString();
}

// A journal that cannot be written is told once, and the counter file is what it would have been.
TEST_F(CounterTest, AJournalFailureNeverChangesTheCount) {
    const std::function<void()> breakings[] = {
        [] { Put(kJournalFileName, QByteArray(4096, 'x')); },
        [] { QDir().mkdir(kJournalFileName); },
    };
    for (const auto& breakJournal : breakings) {
        QFile::remove(kJournalFileName);
        view.errors.clear();
        Start();
        breakJournal();
        Ticks(1, false);
        for (int connection = 0; connection < 3; ++connection) {
            Ticks(5, true);
            Ticks(1, false);
        }
        EXPECT_EQ(Bytes(kCounterFileName), "05/03/2003 14:07:09\r\n799\r\n20\r\n");
        EXPECT_FALSE(QFile::exists(kCheckpointFileName));
        QTest::qWait(500);
        ASSERT_EQ(view.errors.size(), 1);
        EXPECT_TRUE(view.errors.first().startsWith("Le journal des connexions"))
            << view.errors.first().toStdString();
        // Mended, it takes the connections kept pending with the next one.
        QDir().rmdir(kJournalFileName);
        QFile::remove(kJournalFileName);
        QSignalSpy added(&counter.History(), &Journal::Added);
        Ticks(5, true);
        Ticks(1, false);
        ASSERT_TRUE(added.wait());
        EXPECT_EQ(JournalStore()
                      .Entries(QDateTime::fromSecsSinceEpoch(0),
                               QDateTime::currentDateTimeUtc().addDays(1))
                      .size(),
                  4);
        EXPECT_EQ(view.errors.size(), 1);
    }
}

} // namespace
