// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The freedesktop notification service on the session bus, called without waiting for its answer:
// each notification replaces the program's previous one, and the fallback (platform/
// notifications.h) shows it where no service answers.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QDBusPendingCallWatcher;

namespace platform {

class DesktopNotifications {
public:
    DesktopNotifications();
    // Answers still awaited are dropped.
    ~DesktopNotifications();
    DesktopNotifications(const DesktopNotifications&) = delete;
    DesktopNotifications& operator=(const DesktopNotifications&) = delete;

    // Sends the notification and returns at once; needs the application object's event loop.
    // One sent while the previous call still awaits its answer waits for it, so that it knows the
    // identifier to replace; only the newest of those waiting is sent.
    void show(const std::string& summary, const std::string& body);

private:
    struct Receiver;
    struct Texts {
        std::string summary;
        std::string body;
    };

    void send(const Texts& texts);
    void answered(QDBusPendingCallWatcher& call, const Texts& texts);

    std::unique_ptr<Receiver> receiver_; // of the answers, made with the application object
    std::uint32_t shownId_ = 0;          // the service's identifier of our last notification
    bool awaiting_ = false;
    std::optional<Texts> next_;
};

} // namespace platform
