// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program tells its history window, which runs in a process of its own: one line of text
// per message on the window's standard input.

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <optional>

// What the counter knows of the current period.
struct CounterFacts {
    QDateTime periodStart; // the counter's reset date
    std::int64_t used = 0; // seconds counted since
    std::int32_t plan = 0;
    int resetDay = 0;
    QDateTime now;
    std::uint64_t volume = 0;    // octets counted since the reset
    std::uint64_t allowance = 0; // the volume allowance, 0 for none

    bool operator==(const CounterFacts&) const = default;
};

struct HistoryMessage {
    enum class Kind {
        Facts, // the counter's facts, sent at the opening and then each second
        Added, // the journal took rows
        Show,  // the history was asked for again: the window comes to the front
    };
    Kind kind = Kind::Facts;
    CounterFacts facts; // for Facts; "now" is the receiver's own

    bool operator==(const HistoryMessage&) const = default;
};

// The message's line, its line break included.
QByteArray MessageLine(const HistoryMessage& message);
// The message of a line without its line break; nothing for a line that is not one.
std::optional<HistoryMessage> MessageFromLine(QByteArrayView line);
