// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/history_messages.h"
#include "tests/support/qstring_printer.h"

#include <gtest/gtest.h>

namespace {

TEST(HistoryMessages, EachMessageComesBackFromItsLine) {
    using Kind = HistoryMessage::Kind;
    const CounterFacts facts{QDateTime(QDate(2026, 12, 1), QTime(0, 0, 0, 250)),
                             45060,
                             20,
                             31,
                             {},
                             18'446'744'073'709'551'615U,
                             2'500'000'000};
    const HistoryMessage messages[] = {
        {Kind::Facts, facts}, {Kind::Facts, CounterFacts{}}, {Kind::Added, {}}, {Kind::Show, {}}};
    for (const HistoryMessage& message : messages) {
        const QByteArray line = MessageLine(message);
        ASSERT_TRUE(line.endsWith('\n')) << line.toStdString();
        EXPECT_EQ(MessageFromLine(line.chopped(1)), message) << line.toStdString();
    }
    EXPECT_EQ(MessageLine(messages[0]),
              "facts 2026-12-01T00:00:00.250 45060 20 31 18446744073709551615 2500000000\n");
}

TEST(HistoryMessages, OtherLinesAreNone) {
    for (const char* line :
         {"", "facts", "shows", "added ", "facts x 1 2 3 4 5",
          "facts 2026-12-01T00:00:00.000 1 2 3 4", "facts 2026-12-01T00:00:00 a 2 3 4 5",
          "facts 2026-12-01T00:00:00.000 1 2 3 4 5 6"}) {
        EXPECT_EQ(MessageFromLine(line), std::nullopt) << line;
    }
}

} // namespace
