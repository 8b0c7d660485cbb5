// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/dialer.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// What the child is given besides its program: descriptors and signals as a fresh process has.
class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        ok_ = setDescriptors() && setSignals() &&
              posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                         POSIX_SPAWN_SETSIGDEF) == 0;
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool ok() const { return ok_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    // Stdin reads nothing, stdout and stderr are shared, whatever else is open here is closed.
    bool setDescriptors() {
        return posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY,
                                                0) == 0 &&
               posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0;
    }

    // Nothing blocked, nothing ignored: a handler or an ignored SIGPIPE of this program's is not
    // the child's business.
    bool setSignals() {
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        return posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
               posix_spawnattr_setsigdefault(&attributes_, &all) == 0;
    }

    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
    bool ok_ = false;
};

void reapWhenItEnds(pid_t child) {
    try {
        std::thread([child] {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the child stays a zombie until this program ends.
    }
}

} // namespace

bool startDetached(const char* program) {
    const SpawnSetup setup;
    if (!setup.ok()) {
        return false;
    }
    char* const argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    // The exec's own failure (no such program) comes back here: glibc waits for it.
    if (posix_spawnp(&child, program, setup.actions(), setup.attributes(), argv, environ) != 0) {
        return false;
    }
    reapWhenItEnds(child);
    return true;
}

} // namespace platform
