// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/plan_watch.h"

#include "journal/forecast.h"
#include "platform/failure.h"
#include "platform/notifications.h"

#include <QStringList>
#include <limits>

namespace {

const QString kAllowanceKey = QStringLiteral("volume/forfait");
const QString kThresholdsKey = QStringLiteral("alertes/seuils");
const QString kPaceDayKey = QStringLiteral("alertes/rythme");
// The period's state, all of it written at once: none is ever read with another period's.
const QString kPeriodKey = QStringLiteral("periode/raz");
const QString kOctetsKey = QStringLiteral("periode/octets");
const QString kLastConnectionKey = QStringLiteral("periode/derniere_connexion");
const QString kFiredHoursKey = QStringLiteral("periode/alertes_heures");
const QString kFiredVolumeKey = QStringLiteral("periode/alertes_volume");

const QString kNoAllowance = QStringLiteral("0");
const QString kSummary = QStringLiteral("Forfait Internet");
constexpr std::uint64_t kNoOctets = 0;

// A value edited by hand that is no allowance means none.
std::uint64_t StoredAllowance(const QString& text) {
    try {
        return AllowanceFromText(text);
    } catch (const platform::Failure&) {
        return 0;
    }
}

FiredThresholds FiredFromText(const QString& text) {
    const std::vector<int> thresholds = ThresholdsFromText(text);
    return {thresholds.begin(), thresholds.end()};
}

std::uint64_t SaturatedSum(std::uint64_t a, std::uint64_t b) {
    return std::numeric_limits<std::uint64_t>::max() - a < b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}

} // namespace

PlanWatch::PlanWatch(Settings settings) : settings_(std::move(settings)) {}

void PlanWatch::Load(const QByteArray& resetDate) {
    period_ = resetDate;
    allowance_ = StoredAllowance(settings_.Text(kAllowanceKey, kNoAllowance));
    thresholds_ = ThresholdsFromText(settings_.Text(
        kThresholdsKey, ThresholdsText({kDefaultThresholds.begin(), kDefaultThresholds.end()})));
    paceDay_ = QDate::fromString(settings_.Text(kPaceDayKey, {}), Qt::ISODate);
    const bool same = settings_.Text(kPeriodKey, {}) == QString::fromLocal8Bit(resetDate);
    recorded_ = same ? settings_.Text(kOctetsKey, {}).toULongLong() : kNoOctets;
    lastConnection_ = same ? settings_.Text(kLastConnectionKey, {}) : QString();
    firedHours_ = same ? FiredFromText(settings_.Text(kFiredHoursKey, {})) : FiredThresholds();
    firedVolume_ = same ? FiredFromText(settings_.Text(kFiredVolumeKey, {})) : FiredThresholds();
}

void PlanWatch::Follow(const QByteArray& resetDate) {
    if (period_ != resetDate) {
        Load(resetDate);
    }
}

void PlanWatch::SetAllowance(std::uint64_t octets) {
    settings_.SetText(kAllowanceKey, AllowanceText(octets), kNoAllowance);
    allowance_ = octets;
}

std::uint64_t PlanWatch::Volume(std::uint64_t runningOctets) const {
    return SaturatedSum(recorded_, runningOctets);
}

bool PlanWatch::VolumeReached(std::uint64_t runningOctets) const {
    return allowance_ != 0 && Volume(runningOctets) >= allowance_;
}

void PlanWatch::AddConnection(const QByteArray& resetDate, const QDateTime& start,
                              std::uint64_t octets, const Notice& report) {
    Follow(resetDate);
    const QString connection = start.toUTC().toString(Qt::ISODateWithMs);
    if (octets == 0 || connection == lastConnection_) {
        return;
    }
    recorded_ = SaturatedSum(recorded_, octets);
    lastConnection_ = connection;
    StorePeriod(report);
}

// Nothing of a period with nothing to keep is written: a user without plans gets no file.
void PlanWatch::StorePeriod(const Notice& report) {
    const bool kept = recorded_ != 0 || !lastConnection_.isEmpty() || !firedHours_.empty() ||
                      !firedVolume_.empty();
    try {
        settings_.SetTexts({{kPeriodKey, kept ? QString::fromLocal8Bit(*period_) : QString(), {}},
                            {kOctetsKey, QString::number(recorded_), QString::number(kNoOctets)},
                            {kLastConnectionKey, lastConnection_, {}},
                            {kFiredHoursKey, ThresholdsText(firedHours_), {}},
                            {kFiredVolumeKey, ThresholdsText(firedVolume_), {}},
                            {kPaceDayKey, paceDay_.toString(Qt::ISODate), {}}});
        failureReported_ = false;
    } catch (const platform::Failure& failure) {
        if (!failureReported_) {
            failureReported_ = true;
            report(QString::fromUtf8(failure.what()));
        }
    }
}

void PlanWatch::Check(const PeriodUse& use, const Notice& report) {
    Follow(use.resetDate);
    const PlanUse hours{PlanKind::Hours,
                        use.planHours > 0 ? static_cast<std::uint64_t>(use.planHours) : 0,
                        use.seconds > 0 ? static_cast<std::uint64_t>(use.seconds) : 0};
    const PlanUse volume{PlanKind::Volume, allowance_, Volume(use.runningOctets)};
    const FiredThresholds hoursBefore = firedHours_;
    const FiredThresholds volumeBefore = firedVolume_;
    QStringList texts;
    for (auto [plan, fired] :
         {std::pair{&hours, &firedHours_}, std::pair{&volume, &firedVolume_}}) {
        if (const auto alert = DueAlert(*plan, thresholds_, *fired, use.nextReset)) {
            texts.append(alert->text);
        }
    }
    const QDate today = use.now.toLocalTime().date();
    const QStringList pace = paceDay_ == today ? QStringList() : PaceAlerts(use, volume.used);
    if (!pace.isEmpty()) {
        paceDay_ = today;
        texts.append(pace);
    }
    if (!pace.isEmpty() || firedHours_ != hoursBefore || firedVolume_ != volumeBefore) {
        StorePeriod(report);
    }
    // One notification: each replaces the one before.
    if (!texts.isEmpty()) {
        platform::notify(kSummary.toStdString(), texts.join(u'\n').toStdString());
    }
}

QStringList PlanWatch::PaceAlerts(const PeriodUse& use, std::uint64_t volume) const {
    const QDateTime reset(use.nextReset, QTime(0, 0));
    const std::pair<PlanKind, Forecast> forecasts[] = {
        {PlanKind::Hours, Predict(use.seconds, use.planHours, use.start, use.now, reset)},
        {PlanKind::Volume, VolumeForecast(volume, allowance_, use.start, use.now, reset)}};
    QStringList texts;
    for (const auto& [kind, forecast] : forecasts) {
        if (forecast.outcome == Forecast::Outcome::RunsOut) {
            texts.append(PaceAlertText(kind, forecast.day, use.nextReset));
        }
    }
    return texts;
}
