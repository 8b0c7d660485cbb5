// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/history_messages.h"

#include <QList>
#include <array>

namespace {

constexpr QByteArrayView kFacts = "facts";
constexpr QByteArrayView kAdded = "added";
constexpr QByteArrayView kShow = "show";
// facts, the period's start, used, plan, reset day, volume, allowance
constexpr qsizetype kFactsFields = 7;

QByteArray Number(auto value) {
    return QByteArray::number(value);
}

} // namespace

QByteArray MessageLine(const HistoryMessage& message) {
    switch (message.kind) {
    case HistoryMessage::Kind::Added:
        return kAdded.toByteArray() + '\n';
    case HistoryMessage::Kind::Show:
        return kShow.toByteArray() + '\n';
    case HistoryMessage::Kind::Facts:
        break;
    }
    const CounterFacts& facts = message.facts;
    const std::array<QByteArray, kFactsFields> fields = {
        kFacts.toByteArray(),   facts.periodStart.toString(Qt::ISODateWithMs).toLatin1(),
        Number(facts.used),     Number(facts.plan),
        Number(facts.resetDay), Number(facts.volume),
        Number(facts.allowance)};
    return QList<QByteArray>(fields.begin(), fields.end()).join(' ') + '\n';
}

std::optional<HistoryMessage> MessageFromLine(QByteArrayView line) {
    if (line == kAdded) {
        return HistoryMessage{HistoryMessage::Kind::Added, {}};
    }
    if (line == kShow) {
        return HistoryMessage{HistoryMessage::Kind::Show, {}};
    }
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    if (fields.size() != kFactsFields || fields[0] != kFacts) {
        return std::nullopt;
    }
    CounterFacts facts;
    // An unknown start travels as an empty field.
    const QString start = QString::fromLatin1(fields[1]);
    facts.periodStart = QDateTime::fromString(start, Qt::ISODateWithMs);
    bool used = false;
    bool plan = false;
    bool resetDay = false;
    bool volume = false;
    bool allowance = false;
    facts.used = fields[2].toLongLong(&used);
    facts.plan = fields[3].toInt(&plan);
    facts.resetDay = fields[4].toInt(&resetDay);
    facts.volume = fields[5].toULongLong(&volume);
    facts.allowance = fields[6].toULongLong(&allowance);
    if ((!start.isEmpty() && !facts.periodStart.isValid()) ||
        !(used && plan && resetDay && volume && allowance)) {
        return std::nullopt;
    }
    return HistoryMessage{HistoryMessage::Kind::Facts, facts};
}
