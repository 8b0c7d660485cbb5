// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Desktop notifications: a short warning the desktop shows for a while beside the program's
// windows, never a box waiting for an answer.

#include <functional>
#include <string>

namespace platform {

// Shows a notification (UTF-8 texts) through the platform in use, in place of the one it showed
// before, and returns at once. Called on the GUI thread. Where the desktop has no notification
// service, the texts go to the installed fallback instead, later, on the GUI thread.
void notify(const std::string& summary, const std::string& body);

// What shows a notification when the desktop's service does not answer: the GUI installs the tray
// icon's message balloon. Called on the GUI thread; an empty function removes it.
using NotificationFallback =
    std::function<void(const std::string& summary, const std::string& body)>;
void setNotificationFallback(NotificationFallback fallback);

// Hands the texts to the installed fallback; nothing happens without one.
void showFallbackNotification(const std::string& summary, const std::string& body);

} // namespace platform
