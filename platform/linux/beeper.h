// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's sound-theme bell, played through libcanberra on a thread of the beeper's own, so
// that no caller ever waits for the sound system; the display's bell (platform/sound.h) when the
// theme's sound cannot be played.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

class Beeper {
public:
    Beeper() = default;
    // Waits for a bell being started; bells still asked for are dropped.
    ~Beeper();
    Beeper(const Beeper&) = delete;
    Beeper& operator=(const Beeper&) = delete;

    // Asks for one bell and returns at once. A bell asked for while another still waits to be
    // started joins it: a slow sound system never leaves a backlog of bells behind.
    void ring();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool stopping_ = false;
    std::thread thread_; // started by the first bell
};

} // namespace platform
