// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include <mutex>

namespace platform {

namespace {

// Held while the bell rings, so that replacing it waits for a ring in progress.
std::mutex bellMutex;
std::function<void()> displayBell;

} // namespace

void setDisplayBell(std::function<void()> bell) {
    const std::lock_guard lock(bellMutex);
    displayBell = std::move(bell);
}

bool ringDisplayBell() {
    const std::lock_guard lock(bellMutex);
    if (!displayBell) {
        return false;
    }
    displayBell();
    return true;
}

} // namespace platform
