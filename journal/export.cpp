// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/export.h"

#include "journal/durations.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kGiga = 1e9;
constexpr double kMega = 1e6;
constexpr double kKilo = 1e3;

// A field quoted when a separator, a quote or a line end in it would split it.
QString Field(const QString& text) {
    if (!text.contains(';') && !text.contains('"') && !text.contains('\n') &&
        !text.contains('\r')) {
        return text;
    }
    return '"' + QString(text).replace('"', QStringLiteral("\"\"")) + '"';
}

} // namespace

QString VolumeText(std::uint64_t octets) {
    static const QLocale french(QLocale::French, QLocale::France);
    const auto value = static_cast<double>(octets);
    if (value >= kGiga) {
        return french.toString(value / kGiga, 'f', 2) + " Go";
    }
    if (value >= kMega) {
        return french.toString(value / kMega, 'f', 1) + " Mo";
    }
    return french.toString(value / kKilo, 'f', 1) + " ko";
}

QString KindText(EntryKind kind) {
    switch (kind) {
    case EntryKind::Ended:
        break;
    case EntryKind::Stopped:
        return QStringLiteral("programme arrêté");
    case EntryKind::Recovered:
        return QStringLiteral("reprise après arrêt brutal");
    case EntryKind::Reset:
        return QStringLiteral("réinitialisation du compteur");
    case EntryKind::Plan:
        return QStringLiteral("forfait fixé");
    case EntryKind::Correction:
        return QStringLiteral("correction du compteur");
    }
    return QStringLiteral("fin de connexion");
}

QString EventText(const JournalEntry& entry) {
    if (entry.kind != EntryKind::Correction) {
        return KindText(entry.kind);
    }
    const std::int64_t before = std::int64_t{entry.total} - entry.seconds;
    const auto magnitude = static_cast<std::int32_t>(std::min<std::int64_t>(
        std::abs(std::int64_t{entry.seconds}), std::numeric_limits<std::int32_t>::max()));
    return KindText(entry.kind) + " : " + HmsText(SplitSeconds(static_cast<std::int32_t>(before))) +
           " → " + HmsText(SplitSeconds(entry.total)) + " (" + (entry.seconds < 0 ? '-' : '+') +
           HmsText(SplitSeconds(magnitude)) + ')';
}

QString LocalTimeText(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QByteArray CsvText(const QList<JournalEntry>& entries) {
    QString text = QStringLiteral("Début;Fin;Secondes comptées;Interface;Octets reçus;Octets "
                                  "envoyés;Événement;Forfait (heures)\r\n");
    for (const JournalEntry& entry : entries) {
        const QStringList fields = {LocalTimeText(entry.start),
                                    LocalTimeText(entry.end),
                                    QString::number(entry.seconds),
                                    Field(entry.interfaceName),
                                    QString::number(entry.received),
                                    QString::number(entry.sent),
                                    EventText(entry),
                                    Field(entry.plan)};
        text += fields.join(';') + QStringLiteral("\r\n");
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}
