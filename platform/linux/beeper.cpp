#include "platform/linux/beeper.h"

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

// The sound system's context, made at the first bell and kept; the driver behind it (a sound
// server, the sound card) is looked for again at the next bell after a failure's delay.
class ThemeBell {
public:
    ThemeBell() = default;
    ~ThemeBell() {
        if (context_ != nullptr) {
            ca_context_destroy(context_);
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
        if (ca_proplist_create(&properties) != CA_SUCCESS) {
            return false;
        }
        ca_proplist_sets(properties, CA_PROP_EVENT_ID, "bell");
        ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "permanent");
        const int result = ca_context_play_full(context_, 0, properties, onFinished, nullptr);
        ca_proplist_destroy(properties);
        return result == CA_SUCCESS;
    }

    bool makeContext() {
        if (context_ == nullptr && ca_context_create(&context_) == CA_SUCCESS) {
            ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Filocompte", nullptr);
        }
        return context_ != nullptr;
    }

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
