// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/counter.h"

#include "counter/checkpoint.h"
#include "counter/counter_files.h"
#include "counter/date_time_text.h"
#include "counter/int_conversion.h"
#include "counter/settings.h"
#include "journal/durations.h"
#include "journal/forecast.h"
#include "netstats/interface_tables.h"
#include "platform/failure.h"
#include "platform/internet.h"
#include "platform/sound.h"

#include <QDateTime>
#include <chrono>
#include <limits>

namespace {

constexpr std::int64_t kMillisecondsPerSecond = 1000;
const QString kPlanWarning = QStringLiteral("Attention Dépassement Forfait !");
const QString kReminder = QStringLiteral("Demander la réinitialisation du compteur car la date de "
                                         "forfait est dépassée de plus d'un mois");

// The year after the reset date's second "/", when it reads as one: four digits, or two for the
// years 2000 to 2099.
std::optional<int> YearOf(const QString& resetDate) {
    const qsizetype first = resetDate.indexOf('/');
    const qsizetype second = first < 0 ? -1 : resetDate.indexOf('/', first + 1);
    if (second < 0) {
        return std::nullopt;
    }
    qsizetype end = second + 1;
    while (end < resetDate.size() && resetDate.at(end).isDigit()) {
        ++end;
    }
    const QString digits = resetDate.mid(second + 1, end - second - 1);
    if (digits.size() == 4) {
        return digits.toInt();
    }
    return digits.size() == 2 ? std::optional<int>(2000 + digits.toInt()) : std::nullopt;
}

// A number of the counter file's line; a failure names the file and the line.
std::int32_t LineValue(int line, const QString& text) {
    const auto value = ToInt(text);
    if (!value) {
        throw platform::Failure(QStringLiteral("%1, ligne %2 : %3")
                                    .arg(QString(kCounterFileName))
                                    .arg(line)
                                    .arg(ConversionMessage(text))
                                    .toStdString());
    }
    return *value;
}

// The steady clock stands still while the machine is suspended: that time is not connected time.
std::int64_t MonotonicMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

} // namespace

void Counter::ResetConnection() {
    iconFrame_ = 0;
    connectionTime_ = 0;
    charge_.Clear();
    state_ = State::Disconnected;
    upSince_.reset();
}

bool Counter::SystemConnected() const {
    DWORD flags = 0; // the kind of connection, which the counter does not use
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

// Only these three spellings: "Wan", "WAN" or "wan" anywhere in the description.
std::optional<QString> Counter::WanAdapter() const {
    const DetailGrid& grid = view_.Grid();
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString adapter = grid.Cell(Adapter, row);
        if (adapter.contains("Wan") || adapter.contains("WAN") || adapter.contains("wan")) {
            return adapter;
        }
    }
    return std::nullopt;
}

// The grid the WAN test reads is the previous tick's: this tick's fill comes after it.
void Counter::Tick() {
    PlanAlarm();
    ShowThroughput();
    const std::optional<QString> wan = SystemConnected() ? WanAdapter() : std::nullopt;
    if (wan) {
        ConnectedTick(*wan);
    } else {
        DisconnectedTick();
    }
    // While the plan is exceeded, the warning shows on the seconds the alarm shows.
    ShowCounterLabels(alarmShown_ ? kPlanWarning : CumulText(),
                      HmsText(SplitSeconds(connectionTime_)));
    KeepCheckpoint();
    WatchPlans();
}

// A day the tests fix is taken at noon.
void Counter::WatchPlans() {
    const QDateTime now = today_ ? QDateTime(*today_, QTime(12, 0)) : QDateTime::currentDateTime();
    const QDateTime start = PeriodStart(now);
    watch_.Check({file_.resetDate, start, now, NextResetDay(resetDay_, now.date(), start.date()),
                  plan_, CumulatedSeconds(), RunningOctets()},
                 Problems());
}

QDateTime Counter::PeriodStart(const QDateTime& now) const {
    if (periodStartOf_.isNull() || periodStartOf_ != file_.resetDate) {
        periodStart_ = ResetMoment(QString::fromLocal8Bit(file_.resetDate));
        periodStartOf_ = file_.resetDate;
    }
    return periodStart_.value_or(now);
}

// Not more often than every ten seconds of connection: laptops on batteries, flash storage.
void Counter::KeepCheckpoint() {
    if (state_ == State::Connected && connectionTime_ >= checkpointed_ + kCheckpointPeriod) {
        WriteCheckpoint(CurrentCheckpoint());
        checkpointed_ = connectionTime_;
    }
}

Checkpoint Counter::CurrentCheckpoint() const {
    return {file_.resetDate,          file_.seconds,       connectionTime_, connectionStart_, {},
            traffic_.InterfaceName(), traffic_.Received(), traffic_.Sent(), charge_.Up()};
}

void Counter::ForgetCheckpoint() {
    RemoveCheckpoint();
    checkpointed_ = 0;
}

// Whichever plan is reached first, the hours or the volume.
bool Counter::PlanReached() const {
    return (plan_ != 0 && hours_ >= plan_) || watch_.VolumeReached(RunningOctets());
}

std::uint64_t Counter::RunningOctets() const {
    return state_ == State::Connected ? traffic_.Received() + traffic_.Sent() : 0;
}

// Judged on the cumulated hours of the previous tick: a beep and a blink every second.
void Counter::PlanAlarm() {
    if (!PlanReached()) {
        alarmShown_ = false;
    } else {
        MessageBeep(0);
        alarmShown_ = !alarmShown_;
    }
    view_.ShowAlarm(alarmShown_);
}

// The rates are at most 2^31 - 1 each: summed in 64 bits, any number of rows fits.
void Counter::ShowThroughput() {
    std::int64_t total = 0;
    const DetailGrid& grid = view_.Grid();
    for (int row = 1; row < grid.RowCount(); ++row) {
        const QString in = grid.Cell(InRate, row);
        const QString out = grid.Cell(OutRate, row);
        if (!in.isEmpty() && !out.isEmpty()) {
            total += std::int64_t{StrToInt(in)} + StrToInt(out);
        }
    }
    view_.ShowThroughput(QString::number(total));
}

void Counter::ConnectedTick(const QString& wanAdapter) {
    view_.CaptureMIBData(false);
    view_.SetDialEnabled(false, true);
    view_.ShowLook(CounterView::Look::Connected);
    if (state_ == State::Disconnected) {
        state_ = State::Connected;
        charge_.Begin(rule_, QDateTime::currentDateTime());
        connectionStart_ = QDateTime::currentDateTimeUtc();
        traffic_.Clear();
    }
    traffic_.Sample(wanAdapter);
    view_.ShowTrayFrame(iconFrame_);
    iconFrame_ = (iconFrame_ + 1) % kTrayFrameCount;
    AdvanceConnection();
}

// One second at the first tick of a stretch of connection, then the whole seconds the clock says
// have passed since: a late tick, a stopped process or a busy machine loses none of them. The
// strip shows what they are charged; its cumulated time takes the charge but for the dead time,
// which comes with the counter file at the end.
void Counter::AdvanceConnection() {
    const std::int64_t now = (clock_ ? clock_ : MonotonicMilliseconds)();
    if (!upSince_) {
        upSince_ = now;
        upBase_ = CheckedAdd(charge_.Up(), 1);
    }
    const std::int64_t elapsed =
        (now - *upSince_ + kMillisecondsPerSecond / 2) / kMillisecondsPerSecond;
    const std::int64_t behind = upBase_ + elapsed - charge_.Up();
    if (behind > 0) {
        const auto seconds = static_cast<std::int32_t>(
            std::min<std::int64_t>(behind, std::numeric_limits<std::int32_t>::max()));
        const std::int32_t shown = charge_.ChargedBeyondDeadTime(rule_);
        charge_.Advance(rule_, seconds, QDateTime::currentDateTime());
        AdvanceCumulated(std::max(charge_.ChargedBeyondDeadTime(rule_) - shown, 0));
    }
    connectionTime_ = charge_.Charged(rule_);
}

// The minutes and hours carry as the seconds reach 60 and the minutes 60.
void Counter::AdvanceCumulated(std::int32_t seconds) {
    seconds_ = CheckedAdd(seconds_, seconds);
    minutes_ = CheckedAdd(minutes_, seconds_ / kSecondsPerMinute);
    seconds_ %= kSecondsPerMinute;
    hours_ = CheckedAdd(hours_, minutes_ / kMinutesPerHour);
    minutes_ %= kMinutesPerHour;
}

void Counter::DisconnectedTick() {
    view_.CaptureMIBData(true);
    view_.SetDialEnabled(true, false);
    view_.ShowLook(CounterView::Look::Disconnected);
    view_.ShowApplicationIcon();
    upSince_.reset();
    if (state_ == State::Connected) {
        DisconnectionUpdate(EntryKind::Ended);
    }
}

// Until the counter file is rewritten the connection stays "Connecté" with its whole time, so a
// failed update is retried at the next tick; meanwhile its every second is in the checkpoint,
// which the next start records if the program ends first.
void Counter::DisconnectionUpdate(EntryKind kind) {
    try {
        RecordConnection(kind);
    } catch (const platform::Failure&) {
        if (connectionTime_ != checkpointed_ && TryWriteCheckpoint(CurrentCheckpoint())) {
            checkpointed_ = connectionTime_;
        }
        throw;
    }
}

// Adds the connection that just ended to the counter file, then to the journal, before the
// checkpoint goes: a start that finds the checkpoint journals it, once.
void Counter::RecordConnection(EntryKind kind) {
    TakeCounterFile(ReadCounterFile(Problems()));
    const std::int32_t total = AddSeconds(file_.seconds, connectionTime_);
    SetCumulated(total);
    CounterFile recorded = file_;
    recorded.seconds = QString::number(total);
    StoreCounterFile(recorded);
    watch_.AddConnection(file_.resetDate, connectionStart_, traffic_.Received() + traffic_.Sent(),
                         Problems());
    journal_.Record({connectionStart_, QDateTime::currentDateTimeUtc(), connectionTime_,
                     traffic_.InterfaceName(), traffic_.Received(), traffic_.Sent(), kind,
                     file_.plan, charge_.Up()},
                    Problems());
    ForgetCheckpoint();
    connectionTime_ = 0;
    charge_.Clear();
    state_ = State::Disconnected;
}

std::int64_t Counter::CumulatedSeconds() const {
    return std::int64_t{hours_} * kSecondsPerHour + std::int64_t{minutes_} * kSecondsPerMinute +
           seconds_;
}

void Counter::SetCumulated(std::int32_t total) {
    const Hms time = SplitSeconds(total);
    hours_ = time.hours;
    minutes_ = time.minutes;
    seconds_ = time.seconds;
}

QString Counter::CumulText() const {
    return HmsText({hours_, minutes_, seconds_}) + ", depuis " +
           QString::fromLocal8Bit(file_.resetDate);
}

// The labels follow the connected flag; before the first tick it is neither colour and they keep
// their texts.
void Counter::ShowCounterLabels(const QString& cumulated, const QString& connectionText) {
    if (view_.CurrentLook() == CounterView::Look::Connected) {
        view_.ShowCumulatedTime(cumulated);
        view_.ShowConnectionTime(connectionText);
    } else if (view_.CurrentLook() == CounterView::Look::Disconnected) {
        view_.ShowCumulatedTime(TrimBlanks(cumulated));
        view_.ShowConnectionTime(kDisconnectedText);
    }
}

void Counter::SetPlanText(const QString& text) {
    plan_ = StrToInt(text);
    file_.plan = text;
}

// A counter file created now has a reset date of now: no reminder at a first start.
void Counter::Reload() {
    rule_ = ReadBillingRule(Settings());
    const bool created = ReloadCounterFile();
    watch_.Load(file_.resetDate);
    SetCumulated(LineValue(2, file_.seconds));
    ShowCounterLabels(CumulText(), QString());
    ReadResetMonth();
    ReadResetDay();
    if (!created) {
        MonthlyCheck();
    }
    view_.ShowResetDayAndMonth(QString::number(resetDay_) + '/' + QString::number(resetMonth_));
}

bool Counter::ReloadCounterFile() {
    if (!CounterFileExists()) {
        StoreCounterFile(NewCounterFile());
        return true;
    }
    TakeCounterFile(ReadCounterFile(Problems()));
    return false;
}

Notice Counter::Problems() {
    return [this](const QString& text) { view_.ShowError(text); };
}

// Lines 1 to 3 into the reset date, the stored seconds and the plan, in that order: a line 3
// that does not convert stops after the first two.
void Counter::TakeCounterFile(const CounterFile& file) {
    file_ = {file.resetDate, file.seconds, file_.plan};
    SetPlanText(file.plan);
}

void Counter::StoreCounterFile(const CounterFile& file) {
    WriteCounterFile(file);
    TakeCounterFile(file);
}

// The two characters after the first "/" (the first two without one): the month of a day-first
// date.
void Counter::ReadResetMonth() {
    const QString date = QString::fromLocal8Bit(file_.resetDate);
    const qsizetype slash = date.indexOf('/');
    resetMonth_ = LineValue(1, slash < 0 ? date.left(2) : date.mid(slash + 1, 2));
    resetYear_ = YearOf(date);
}

void Counter::ReadResetDay() {
    if (const std::optional<QString> day = ResetDayOrHelp()) {
        resetDay_ = StrToInt(*day);
    }
}

// Without a usable reset-day file the help window says how to make one. It is shown before the
// box about a file set aside, so that the box opens over it rather than being moved there.
std::optional<QString> Counter::ResetDayOrHelp() {
    QString problem;
    const std::optional<QString> day =
        ReadResetDayFile([&problem](const QString& text) { problem = text; });
    if (!day) {
        view_.ShowHelpWindow();
    }
    if (!problem.isEmpty()) {
        Problems()(problem);
    }
    return day;
}

// A month of a later year is past whatever its number; without a readable year, months compare
// alone.
bool Counter::ResetMonthPassed(const QDate& today) const {
    if (resetYear_ && today.year() != *resetYear_) {
        return today.year() > *resetYear_;
    }
    return today.month() > resetMonth_;
}

void Counter::MonthlyCheck() {
    const QDate today = today_.value_or(QDate::currentDate());
    if (ResetMonthPassed(today) && today.day() > resetDay_) {
        view_.ShowMessage(kReminder);
    }
}

void Counter::ResetCounter() {
    if (!view_.Confirm(QStringLiteral("Initialiser les valeurs enregistrées"))) {
        return;
    }
    StoreCounterFile(NewCounterFile(file_.plan));
    JournalEvent(EntryKind::Reset);
    ForgetCheckpoint();
    Reload();
}

void Counter::JournalEvent(EntryKind kind) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    journal_.Record({now, now, 0, {}, 0, 0, kind, file_.plan}, Problems());
}

void Counter::ChangeResetDay() {
    const std::optional<QString> day =
        view_.InputBox(QStringLiteral("Entrer le jour de R.A.Z. du compteur"),
                       QStringLiteral("Entre 1 et 28 sinon forçage en février"), "1");
    if (day && DayOfMonth(*day)) {
        WriteResetDayFile(*day);
    } else if (day) {
        view_.ShowMessage("Le jour de R.A.Z. doit être un nombre de 1 à 31 : '" + ShownText(*day) +
                          "' n'est pas retenu.");
    }
    Reload();
}

void Counter::ShowResetDay() {
    if (const std::optional<QString> day = ResetDayOrHelp()) {
        view_.ShowMessage("La R.A.Z. du compteur est effectuée tous les " + *day + " du mois");
    }
}

// The ticks go on while the question is open: lines 1 and 2 are read again after it, so a
// connection recorded meanwhile is kept.
void Counter::SetPlan() {
    SetPlanText(ReadCounterFile(Problems()).plan);
    const std::optional<QString> answer =
        view_.InputBox(QStringLiteral("Fixer le forfait en heures"),
                       "Le forfait est actuellement de " + file_.plan +
                           " heures. Entrer la nouvelle valeur (0 pour illimité)",
                       file_.plan);
    if (!answer) {
        return;
    }
    SetPlanText(*answer);
    // Only the plan changes in memory: lines 1 and 2 are the file's, taken at the next reading.
    CounterFile file = ReadCounterFile(Problems());
    file.plan = file_.plan;
    WriteCounterFile(file);
    JournalEvent(EntryKind::Plan);
}

void Counter::SetVolumePlan() {
    const QString current = AllowanceText(watch_.Allowance());
    const std::optional<QString> answer = view_.InputBox(
        QStringLiteral("Fixer le forfait de volume en Go"),
        (watch_.Allowance() == 0 ? QStringLiteral("Aucun forfait de volume n'est fixé.")
                                 : "Le forfait de volume est actuellement de " + current + " Go.") +
            " Entrer la nouvelle valeur en Go de 1 000 000 000 octets, avec une virgule décimale "
            "(2,5), ou 0 pour aucun",
        current);
    if (answer) {
        watch_.SetAllowance(AllowanceFromText(*answer));
    }
}

// The operator's count replaces line 2. The ticks go on while the question is open: the file is
// read again after it, and the correction replaces what it holds then. A connection running
// meanwhile is not in the operator's count yet: it is added at its end, as after a reset.
void Counter::CorrectCounter() {
    TakeCounterFile(ReadCounterFile(Problems()));
    const std::int32_t shown = AddSeconds(file_.seconds, 0);
    const std::optional<QString> answer = view_.InputBox(
        QStringLiteral("Corriger le compteur"),
        "Le compteur indique " + HmsText(SplitSeconds(shown)) +
            ". Entrer le temps que l'opérateur facture pour la période (h:m:s, ou heures avec une "
            "virgule : 12,5)",
        ClockText(shown));
    if (!answer) {
        return;
    }
    const std::optional<std::int32_t> reported = DurationFromText(*answer);
    if (!reported) {
        view_.ShowMessage("'" + ShownText(*answer) +
                          "' n'est pas une durée : entrer h:m:s (12:31:00) ou des heures avec une "
                          "virgule (12,5). Le compteur n'est pas changé.");
        return;
    }
    TakeCounterFile(ReadCounterFile(Problems()));
    const std::int32_t before = AddSeconds(file_.seconds, 0);
    CounterFile corrected = file_;
    corrected.seconds = QString::number(*reported);
    StoreCounterFile(corrected);
    SetCumulated(*reported);
    // A checkpoint holds the line 2 it adds to: the next tick writes one for the new line.
    ForgetCheckpoint();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    journal_.Record({now,
                     now,
                     CheckedAdd(*reported, CheckedMul(before, -1)),
                     {},
                     0,
                     0,
                     EntryKind::Correction,
                     file_.plan,
                     0,
                     *reported},
                    Problems());
}

// Kept in the settings file; the running connection is charged by the new rule from the next tick,
// its dead time as it was counted.
void Counter::SetBillingRule() {
    const std::optional<BillingRule> rule = view_.AskBillingRule(rule_);
    if (!rule) {
        return;
    }
    Settings settings;
    WriteBillingRule(settings, *rule);
    rule_ = *rule;
}

void Counter::Dial() {
    InternetAutodial(0, view_.Handle());
}

void Counter::HangUp() {
    InternetAutodialHangup(0);
}

void Counter::Quit() {
    if (view_.CurrentLook() == CounterView::Look::Connected) {
        view_.ShowMessage(QStringLiteral("Impossible en cours de connexion"));
        return;
    }
    view_.Terminate();
}

void Counter::TerminationRequested() {
    // Ends the program even when the recording fails, whose failure is still reported. The
    // journal's rows are written or kept pending first: the end may come without unwinding (the
    // display's loss ends the toolkit at once).
    struct EndAnyway {
        Counter& counter;
        ~EndAnyway() {
            counter.journal_.Close();
            counter.view_.Terminate();
        }
    } end{*this};
    if (state_ == State::Connected) {
        DisconnectionUpdate(EntryKind::Stopped);
    }
}
