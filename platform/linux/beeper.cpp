// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/beeper.h"

#include "platform/linux/dynamic_library.h"
#include "platform/sound.h"

#include <canberra.h>
#include <chrono>

namespace platform {

namespace {

// A sound that could not be played to its end, other than one stopped on purpose.
void onFinished(ca_context*, std::uint32_t, int error, void*) {
    if (error != CA_SUCCESS && error != CA_ERROR_CANCELED && error != CA_ERROR_DESTROYED) {
        ringDisplayBell();
    }
}

// After a bell that could not start, the sound system is left alone that long: a machine without
// sound would otherwise pay for (and log) a failed start at every bell of the plan alarm.
constexpr std::chrono::seconds kRetryDelay{60};

// libcanberra's functions that the bell calls, loaded at the first bell: most sessions never ring
// it, and the library and the codecs it brings would stay in every one of them.
struct Canberra {
    decltype(&ca_context_create) contextCreate;
    decltype(&ca_context_destroy) contextDestroy;
    decltype(&ca_context_change_props) changeProps;
    decltype(&ca_context_play_full) playFull;
    decltype(&ca_proplist_create) proplistCreate;
    decltype(&ca_proplist_sets) proplistSets;
    decltype(&ca_proplist_destroy) proplistDestroy;
};

const Canberra* LoadCanberra() {
    return LoadFunctions<Canberra>("libcanberra.so.0", [](void* library, Canberra& functions) {
        return Resolve(library, "ca_context_create", functions.contextCreate) &&
               Resolve(library, "ca_context_destroy", functions.contextDestroy) &&
               Resolve(library, "ca_context_change_props", functions.changeProps) &&
               Resolve(library, "ca_context_play_full", functions.playFull) &&
               Resolve(library, "ca_proplist_create", functions.proplistCreate) &&
               Resolve(library, "ca_proplist_sets", functions.proplistSets) &&
               Resolve(library, "ca_proplist_destroy", functions.proplistDestroy);
    });
}

// The sound system's context, made at the first bell and kept; the driver behind it (a sound
// server, the sound card) is looked for again at the next bell after a failure's delay.
class ThemeBell {
public:
    ThemeBell() = default;
    ~ThemeBell() {
        if (context_ != nullptr) {
            ca_->contextDestroy(context_);
        }
    }
    ThemeBell(const ThemeBell&) = delete;
    ThemeBell& operator=(const ThemeBell&) = delete;

    // Starts the theme's "bell" without waiting for it to end; false when it cannot be started,
    // or is not tried within a failure's delay. A failure past the start rings the display's bell
    // from libcanberra's own thread.
    bool play() {
        const auto now = std::chrono::steady_clock::now();
        if (now < retryAt_) {
            return false;
        }
        if (!start()) {
            retryAt_ = now + kRetryDelay;
            return false;
        }
        return true;
    }

private:
    bool start() {
        if (!makeContext()) {
            return false;
        }
        ca_proplist* properties = nullptr;
        if (ca_->proplistCreate(&properties) != CA_SUCCESS) {
            return false;
        }
        ca_->proplistSets(properties, CA_PROP_EVENT_ID, "bell");
        ca_->proplistSets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
        const int result = ca_->playFull(context_, 0, properties, onFinished, nullptr);
        ca_->proplistDestroy(properties);
        return result == CA_SUCCESS;
    }

    bool makeContext() {
        if (ca_ == nullptr) {
            ca_ = LoadCanberra();
        }
        if (ca_ != nullptr && context_ == nullptr && ca_->contextCreate(&context_) == CA_SUCCESS) {
            ca_->changeProps(context_, CA_PROP_APPLICATION_NAME, "Filocompte", nullptr);
        }
        return context_ != nullptr;
    }

    const Canberra* ca_ = nullptr;
    ca_context* context_ = nullptr;
    std::chrono::steady_clock::time_point retryAt_;
};

} // namespace

Beeper::~Beeper() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Beeper::ring() {
    {
        const std::lock_guard lock(mutex_);
        pending_ = true;
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread(&Beeper::run, this);
            } catch (const std::system_error&) {
                pending_ = false; // no thread to be had: this bell is lost, the next tries again
                return;
            }
        }
    }
    wake_.notify_one();
}

void Beeper::run() {
    ThemeBell bell; // outlives the lock below, so that it is destroyed unlocked
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_) {
            return;
        }
        pending_ = false;
        lock.unlock();
        if (!bell.play()) {
            ringDisplayBell();
        }
        lock.lock();
    }
}

} // namespace platform
