// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/plan_alerts.h"

#include "counter/int_conversion.h"
#include "journal/durations.h"
#include "journal/export.h"
#include "platform/failure.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint64_t kGiga = 1'000'000'000;
constexpr int kGigaDecimals = 9;
// What the notification shows of the volume used: hundredths of a gigaoctet.
constexpr int kUsedDecimals = 2;

// Wide enough for an octet count times a hundred.
using Wide = unsigned __int128;

bool Crossed(const PlanUse& use, int percent) {
    const Wide whole =
        use.kind == PlanKind::Hours ? Wide{use.allowance} * kSecondsPerHour : Wide{use.allowance};
    return Wide{use.used} * 100 >= whole * static_cast<unsigned>(percent);
}

// The thresholds that count, lowest first, the plan's end last.
std::set<int> Stages(const std::vector<int>& thresholds) {
    std::set<int> stages = {kReachedPercent};
    for (const int percent : thresholds) {
        if (percent > 0 && percent < kReachedPercent) {
            stages.insert(percent);
        }
    }
    return stages;
}

// Octets in gigaoctets, cut to that many decimals, without trailing zeros: "2,25", "3".
QString GigaText(std::uint64_t octets, int decimals) {
    std::uint64_t fraction = octets % kGiga;
    for (int dropped = decimals; dropped < kGigaDecimals; ++dropped) {
        fraction /= 10;
    }
    QString digits = QString::number(fraction).rightJustified(decimals, u'0');
    while (digits.endsWith(u'0')) {
        digits.chop(1);
    }
    const QString whole = QString::number(octets / kGiga);
    return digits.isEmpty() ? whole : whole + u',' + digits;
}

// Hours and minutes, the minutes cut and on two digits as a clock shows them: "16h00".
QString HoursMinutesText(std::uint64_t seconds) {
    return QStringLiteral("%1h%2")
        .arg(seconds / kSecondsPerHour)
        .arg(seconds / kSecondsPerMinute % kMinutesPerHour, 2, 10, QChar(u'0'));
}

QString DayText(const QDate& day) {
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

QString AlertText(const PlanUse& use, int percent, const QDate& nextReset) {
    const QString reset = DayText(nextReset);
    if (use.kind == PlanKind::Hours) {
        return QStringLiteral("Forfait : %1 % des heures utilisées (%2 sur %3h), R.A.Z. le %4.")
            .arg(QString::number(percent), HoursMinutesText(use.used),
                 QString::number(use.allowance), reset);
    }
    return QStringLiteral("Forfait : %1 % du volume utilisé (%2 Go sur %3 Go), R.A.Z. le %4.")
        .arg(QString::number(percent), GigaText(use.used, kUsedDecimals),
             AllowanceText(use.allowance), reset);
}

// Between one and at most max ASCII digits.
bool IsDigits(QStringView text, qsizetype max) {
    return !text.isEmpty() && text.size() <= max &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QStringView WithoutSpacesAround(QStringView text) {
    while (text.startsWith(u' ')) {
        text = text.mid(1);
    }
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text;
}

} // namespace

std::optional<PlanAlert> DueAlert(const PlanUse& use, const std::vector<int>& thresholds,
                                  FiredThresholds& fired, const QDate& nextReset) {
    if (use.allowance == 0) {
        fired.clear();
        return std::nullopt;
    }
    std::erase_if(fired, [&use](int percent) { return !Crossed(use, percent); });
    std::optional<int> highest;
    bool fresh = false;
    for (const int percent : Stages(thresholds)) {
        if (Crossed(use, percent)) {
            highest = percent;
            fresh = fired.insert(percent).second;
        }
    }
    // Lower thresholds crossed late (the settings changed) are only marked.
    if (!highest || !fresh) {
        return std::nullopt;
    }
    return PlanAlert{*highest, AlertText(use, *highest, nextReset)};
}

std::vector<int> ThresholdsFromText(const QString& text) {
    std::vector<int> thresholds;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int percent = part.trimmed().toInt(&ok);
        if (ok) {
            thresholds.push_back(percent);
        }
    }
    return thresholds;
}

QString ThresholdsText(const FiredThresholds& thresholds) {
    QStringList parts;
    for (const int percent : thresholds) {
        parts.append(QString::number(percent));
    }
    return parts.join(u',');
}

Forecast VolumeForecast(std::uint64_t used, std::uint64_t allowance, const QDateTime& periodStart,
                        const QDateTime& now, const QDateTime& nextReset) {
    // Beyond 2^63 octets both are out of any count: the forecast's range is enough.
    const auto clamped = [](std::uint64_t octets) {
        return static_cast<std::int64_t>(
            std::min<std::uint64_t>(octets, std::numeric_limits<std::int64_t>::max()));
    };
    if (allowance == 0) {
        return {};
    }
    return PredictUse(clamped(used), clamped(allowance), periodStart, now, nextReset);
}

QString PaceAlertText(PlanKind kind, const QDate& runsOut, const QDate& nextReset) {
    return QStringLiteral("Forfait : à ce rythme, %1 le %2, avant la R.A.Z. du %3.")
        .arg(kind == PlanKind::Hours ? QStringLiteral("les heures seront épuisées")
                                     : QStringLiteral("le volume sera épuisé"),
             DayText(runsOut), DayText(nextReset));
}

QString VolumePlanSentence(std::uint64_t used, std::uint64_t allowance, const Forecast& forecast) {
    const QString use = "Forfait de volume : " + VolumeText(used) + " utilisés sur " +
                        AllowanceText(allowance) + " Go";
    switch (forecast.outcome) {
    case Forecast::Outcome::Reached:
        return use + ", atteint.";
    case Forecast::Outcome::RunsOut:
        return use + " ; à ce rythme, il sera atteint le " + DayText(forecast.day) + '.';
    case Forecast::Outcome::NoPlan:
    case Forecast::Outcome::Lasts:
        break;
    }
    return use + " ; à ce rythme, il tiendra jusqu'à la prochaine R.A.Z.";
}

// Read without a regular expression: the allowance is read at every start, and the expression
// engine would then stay in the program's memory for the whole session.
std::uint64_t AllowanceFromText(const QString& text) {
    const QStringView typed = WithoutSpacesAround(text);
    const qsizetype comma = typed.indexOf(u',');
    const QStringView whole = comma < 0 ? typed : typed.left(comma);
    const QStringView decimals = comma < 0 ? QStringView() : typed.mid(comma + 1);
    bool inRange = false; // twenty digits may pass the largest 64-bit number
    const Wide gigas = whole.toULongLong(&inRange);
    const bool wellFormed =
        inRange && IsDigits(whole, 20) && (comma < 0 || IsDigits(decimals, kGigaDecimals));
    const Wide octets =
        gigas * kGiga + decimals.toString().leftJustified(kGigaDecimals, u'0').toULongLong();
    if (!wellFormed || octets > std::numeric_limits<std::uint64_t>::max()) {
        throw platform::Failure(
            QStringLiteral("'%1' n'est pas un forfait de volume correct : un nombre de Go, avec "
                           "une virgule décimale (2,5), ou 0 pour aucun")
                .arg(ShownText(text))
                .toStdString());
    }
    return static_cast<std::uint64_t>(octets);
}

QString AllowanceText(std::uint64_t octets) {
    return GigaText(octets, kGigaDecimals);
}
