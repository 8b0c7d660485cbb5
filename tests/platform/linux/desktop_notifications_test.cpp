// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's notifications as the service's stand-in receives them, and the fallback where no
// service answers.

#include "platform/linux/desktop_notifications.h"
#include "platform/notifications.h"
#include "tests/platform/linux/bus_stand_in.h"

#include <QTest>
#include <gtest/gtest.h>

namespace platform {
namespace {

// The notifications the fallback showed, while the object lives.
class Fallback {
public:
    Fallback() {
        setNotificationFallback([this](const std::string& summary, const std::string& body) {
            shown.push_back(summary + " | " + body);
        });
    }
    ~Fallback() { setNotificationFallback({}); }
    Fallback(const Fallback&) = delete;
    Fallback& operator=(const Fallback&) = delete;

    std::vector<std::string> shown;
};

TEST(DesktopNotifications, ReplaceTheirOwnAndFallBackWhereNoServiceAnswers) {
    BusStandIn service("DBUS_SESSION_BUS_ADDRESS", NOTIFICATION_STAND_IN);
    Fallback fallback;
    DesktopNotifications notifications;
    const auto calls = [&service](int count) {
        return QTest::qWaitFor([&] {
            const std::string text = service.run("calls");
            return std::count(text.begin(), text.end(), '\n') + !text.empty() == count;
        });
    };

    notifications.show("Filocompte", "sans service");
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallback.shown.size() == 1; }));

    service.start();
    // B is sent while A's answer is awaited: C, newer, replaces it before it leaves.
    notifications.show("A", "premier");
    notifications.show("B", "dépassé");
    notifications.show("C", "<b> & </b>");
    ASSERT_TRUE(calls(2));
    notifications.show("D", "dernier");
    ASSERT_TRUE(calls(3));
    EXPECT_EQ(service.run("calls"),
              "Filocompte\t0\tfilocompte\tA\tpremier\tfilocompte\t15000\n"
              "Filocompte\t1\tfilocompte\tC\t&lt;b&gt; &amp; &lt;/b&gt;\tfilocompte\t15000\n"
              "Filocompte\t1\tfilocompte\tD\tdernier\tfilocompte\t15000");

    service.stop();
    notifications.show("E", "service parti");
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallback.shown.size() == 2; }));
    EXPECT_EQ(fallback.shown,
              (std::vector<std::string>{"Filocompte | sans service", "E | service parti"}));
}

} // namespace
} // namespace platform
