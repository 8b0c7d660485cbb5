// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/notifications.h"

#include "platform/platform.h"

namespace platform {

namespace {
// Only the GUI thread installs and calls it: no lock.
NotificationFallback installedFallback;
} // namespace

void notify(const std::string& summary, const std::string& body) {
    current().notify(summary, body);
}

void setNotificationFallback(NotificationFallback fallback) {
    installedFallback = std::move(fallback);
}

void showFallbackNotification(const std::string& summary, const std::string& body) {
    if (installedFallback) {
        installedFallback(summary, body);
    }
}

} // namespace platform
