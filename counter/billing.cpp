// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/billing.h"

#include "counter/int_conversion.h"
#include "counter/settings.h"
#include "platform/failure.h"

#include <QStringList>
#include <algorithm>
#include <limits>

namespace {

const QString kTimeForm = QStringLiteral("HH:mm");

const QString kDeadTimeKey = QStringLiteral("facturation/temps_mort");
const QString kFirstPeriodKey = QStringLiteral("facturation/minimum");
const QString kStepKey = QStringLiteral("facturation/pas");
const QString kFreeFromKey = QStringLiteral("facturation/gratuit_debut");
const QString kFreeToKey = QStringLiteral("facturation/gratuit_fin");
const QString kFreeSaturdayKey = QStringLiteral("facturation/samedi_gratuit");
const QString kFreeSundayKey = QStringLiteral("facturation/dimanche_gratuit");

bool InWindow(const BillingRule& rule, const QTime& time) {
    if (!rule.HasFreeWindow()) {
        return false;
    }
    if (rule.freeFrom < rule.freeTo) {
        return time >= rule.freeFrom && time < rule.freeTo;
    }
    return time >= rule.freeFrom || time < rule.freeTo;
}

// When the wall clock shows that time of the day; a time the clocks skip (daylight saving) is met
// where they land.
QDateTime LocalMoment(const QDate& day, const QTime& time) {
    constexpr int kMinute = 60;
    QDateTime moment(day, time);
    for (QTime later = time; !moment.isValid() && later.hour() < 23;) {
        later = later.addSecs(kMinute);
        moment = QDateTime(day, later);
    }
    return moment;
}

// The next moment after `moment` at which being free may change: the next local midnight, or an
// edge of the free window.
QDateTime NextEdge(const BillingRule& rule, const QDateTime& moment) {
    const QDate day = moment.toLocalTime().date();
    QDateTime next = LocalMoment(day.addDays(1), QTime(0, 0));
    if (rule.HasFreeWindow()) {
        for (const QTime& edge : {rule.freeFrom, rule.freeTo}) {
            const QDateTime today = LocalMoment(day, edge);
            if (today > moment && today < next) {
                next = today;
            }
        }
    }
    return next;
}

std::int32_t ReadSeconds(const Settings& settings, const QString& key, std::int32_t fallback,
                         std::int32_t low, std::int32_t high) {
    const std::int64_t value = settings.Integer(key, fallback);
    return value >= low && value <= high ? static_cast<std::int32_t>(value) : fallback;
}

QTime ReadTime(const Settings& settings, const QString& key, const QTime& fallback) {
    const QTime time = QTime::fromString(settings.Text(key, {}).trimmed(), kTimeForm);
    return time.isValid() ? time : fallback;
}

QString Seconds(std::int32_t seconds) {
    return QString::number(seconds) + " s";
}

} // namespace

bool IsFree(const BillingRule& rule, const QDateTime& moment) {
    const QDateTime local = moment.toLocalTime();
    const int weekday = local.date().dayOfWeek();
    return (rule.freeSaturday && weekday == Qt::Saturday) ||
           (rule.freeSunday && weekday == Qt::Sunday) || InWindow(rule, local.time());
}

std::int64_t CountedSeconds(const BillingRule& rule, const QDateTime& from, const QDateTime& to) {
    if (!rule.HasFreeWindow() && !rule.freeSaturday && !rule.freeSunday) {
        return std::max<std::int64_t>(from.secsTo(to), 0);
    }
    std::int64_t counted = 0;
    for (QDateTime moment = from; moment < to;) {
        const QDateTime next = std::min(NextEdge(rule, moment), to);
        if (!IsFree(rule, moment)) {
            counted += moment.secsTo(next);
        }
        moment = next;
    }
    return counted;
}

std::int32_t Charged(const BillingRule& rule, std::int32_t counted) {
    if (counted <= 0) {
        return 0;
    }
    if (counted <= rule.firstPeriod) {
        return rule.firstPeriod;
    }
    const std::int64_t rest = std::int64_t{counted} - rule.firstPeriod;
    const std::int64_t charged = rule.firstPeriod + (rest + rule.step - 1) / rule.step * rule.step;
    if (charged > std::numeric_limits<std::int32_t>::max()) {
        throw platform::OverflowError();
    }
    return static_cast<std::int32_t>(charged);
}

void ConnectionCharge::Begin(const BillingRule& rule, const QDateTime& at) {
    deadTime_ = IsFree(rule, at) ? 0 : rule.deadTime;
    counted_ = CheckedAdd(counted_, deadTime_);
}

// The seconds are taken as the ones just before `end`: the monotonic clock that counts them has no
// date of its own.
void ConnectionCharge::Advance(const BillingRule& rule, std::int32_t seconds,
                               const QDateTime& end) {
    up_ = CheckedAdd(up_, seconds);
    const std::int64_t counted = CountedSeconds(rule, end.addSecs(-seconds), end);
    counted_ = CheckedAdd(counted_, static_cast<std::int32_t>(counted));
}

std::int32_t ConnectionCharge::ChargedBeyondDeadTime(const BillingRule& rule) const {
    return up_ == 0 ? 0 : std::max(Charged(rule) - deadTime_, 0);
}

std::optional<QString> RuleProblem(const BillingRule& rule) {
    if (rule.deadTime < 0 || rule.deadTime > kMaxDeadTime) {
        return QStringLiteral("Le temps mort doit être compris entre 0 et %1 secondes.")
            .arg(kMaxDeadTime);
    }
    if (rule.firstPeriod < 0 || rule.firstPeriod > kMaxFirstPeriod) {
        return QStringLiteral("La première période doit être comprise entre 0 et %1 secondes.")
            .arg(kMaxFirstPeriod);
    }
    if (rule.step < 1 || rule.step > kMaxStep) {
        return QStringLiteral("La tranche doit être comprise entre 1 et %1 secondes.")
            .arg(kMaxStep);
    }
    if (!rule.freeFrom.isValid() || !rule.freeTo.isValid()) {
        return QStringLiteral("Les heures gratuites doivent être des heures du jour (HH:mm).");
    }
    return std::nullopt;
}

BillingRule ReadBillingRule(const Settings& settings) {
    const BillingRule fallback;
    BillingRule rule;
    rule.deadTime = ReadSeconds(settings, kDeadTimeKey, fallback.deadTime, 0, kMaxDeadTime);
    rule.firstPeriod =
        ReadSeconds(settings, kFirstPeriodKey, fallback.firstPeriod, 0, kMaxFirstPeriod);
    rule.step = ReadSeconds(settings, kStepKey, fallback.step, 1, kMaxStep);
    rule.freeFrom = ReadTime(settings, kFreeFromKey, fallback.freeFrom);
    rule.freeTo = ReadTime(settings, kFreeToKey, fallback.freeTo);
    rule.freeSaturday = settings.Integer(kFreeSaturdayKey, 0) != 0;
    rule.freeSunday = settings.Integer(kFreeSundayKey, 0) != 0;
    return rule;
}

// In one write of the file: a rule is never found half changed.
void WriteBillingRule(Settings& settings, const BillingRule& rule) {
    const BillingRule fallback;
    const auto number = [](std::int32_t value) { return QString::number(value); };
    const auto flag = [](bool value) { return QString::number(value ? 1 : 0); };
    settings.SetTexts(
        {{kDeadTimeKey, number(rule.deadTime), number(fallback.deadTime)},
         {kFirstPeriodKey, number(rule.firstPeriod), number(fallback.firstPeriod)},
         {kStepKey, number(rule.step), number(fallback.step)},
         {kFreeFromKey, rule.freeFrom.toString(kTimeForm), fallback.freeFrom.toString(kTimeForm)},
         {kFreeToKey, rule.freeTo.toString(kTimeForm), fallback.freeTo.toString(kTimeForm)},
         {kFreeSaturdayKey, flag(rule.freeSaturday), flag(false)},
         {kFreeSundayKey, flag(rule.freeSunday), flag(false)}});
}

QString RuleText(const BillingRule& rule) {
    QStringList parts = {"temps mort = " + Seconds(rule.deadTime)};
    if (rule.firstPeriod == 60) {
        parts << QStringLiteral("première minute indivisible");
    } else if (rule.firstPeriod > 0) {
        parts << "première période de " + Seconds(rule.firstPeriod) + " indivisible";
    }
    parts << (rule.step == 1 ? QStringLiteral("puis à la seconde")
                             : "puis par tranches de " + Seconds(rule.step));
    QStringList free;
    if (rule.HasFreeWindow()) {
        free << "de " + rule.freeFrom.toString(kTimeForm) + " à " + rule.freeTo.toString(kTimeForm);
    }
    if (rule.freeSaturday) {
        free << QStringLiteral("le samedi");
    }
    if (rule.freeSunday) {
        free << QStringLiteral("le dimanche");
    }
    if (!free.isEmpty()) {
        const QString last = free.takeLast();
        parts << "gratuit " + (free.isEmpty() ? last : free.join(", ") + " et " + last);
    }
    return parts.join(", ");
}
