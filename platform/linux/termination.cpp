// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/termination.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

int pipeEnds[2] = {-1, -1};

// Only a write, which is safe in a signal handler; a full pipe already holds a request.
void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

bool install() {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    return true;
}

} // namespace

int terminationRequests() {
    static const bool installed = install();
    return installed ? pipeEnds[0] : -1;
}

void drainTerminationRequests() {
    char bytes[64];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
}

} // namespace platform
