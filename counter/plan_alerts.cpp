// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/plan_alerts.h"

#include "counter/int_conversion.h"
#include "platform/failure.h"

#include <QRegularExpression>
#include <limits>

namespace {

constexpr std::uint64_t kGiga = 1'000'000'000;
constexpr int kGigaDecimals = 9;
constexpr std::uint64_t kSecondsPerHour = 3600;
constexpr std::uint64_t kSecondsPerMinute = 60;
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

// Hours and minutes, the minutes cut: "16h00". Local until the counter has one shared formatter.
QString HoursMinutesText(std::uint64_t seconds) {
    return QStringLiteral("%1h%2")
        .arg(seconds / kSecondsPerHour)
        .arg(seconds / kSecondsPerMinute % 60, 2, 10, QChar(u'0'));
}

QString AlertText(const PlanUse& use, int percent, const QDate& nextReset) {
    const QString reset = nextReset.toString(QStringLiteral("dd/MM/yyyy"));
    if (use.kind == PlanKind::Hours) {
        return QStringLiteral("Forfait : %1 % des heures utilisées (%2 sur %3h), R.A.Z. le %4.")
            .arg(QString::number(percent), HoursMinutesText(use.used),
                 QString::number(use.allowance), reset);
    }
    return QStringLiteral("Forfait : %1 % du volume utilisé (%2 Go sur %3 Go), R.A.Z. le %4.")
        .arg(QString::number(percent), GigaText(use.used, kUsedDecimals),
             AllowanceText(use.allowance), reset);
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

std::uint64_t AllowanceFromText(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^ *([0-9]{1,20})(?:,([0-9]{1,9}))? *$"));
    const QRegularExpressionMatch match = form.match(text);
    bool whole = false;
    const Wide octets = match.hasMatch()
                            ? Wide{match.captured(1).toULongLong(&whole)} * kGiga +
                                  match.captured(2).leftJustified(kGigaDecimals, u'0').toULongLong()
                            : 0;
    if (!whole || octets > std::numeric_limits<std::uint64_t>::max()) {
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
