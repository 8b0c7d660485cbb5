// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bus service's stand-in (a script of tests/support) on a private bus that lives as long as the
// object; the environment variable given names it meanwhile, for this process and its children.

#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace platform {

// The command's standard output, trailing newline removed.
inline std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            text += buffer;
        }
        EXPECT_EQ(pclose(pipe), 0) << command;
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

class BusStandIn {
public:
    BusStandIn(const char* variable, std::string script) : script_(std::move(script)) {
        std::istringstream bus(run("bus " + (dir_.path() / "bus").string()));
        std::string address;
        bus >> address >> busPid_;
        address_.emplace(variable, address);
    }
    ~BusStandIn() {
        stop();
        if (busPid_ > 0) {
            kill(busPid_, SIGTERM);
        }
    }
    BusStandIn(const BusStandIn&) = delete;
    BusStandIn& operator=(const BusStandIn&) = delete;

    void start() { pid_ = std::stoi(run("start")); }
    // The service ends: its name leaves the bus.
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            eventually([this] { return !alive(pid_); });
            pid_ = 0;
        }
    }
    // One command of the stand-in's script, its output.
    std::string run(const std::string& arguments) { return output(script_ + " " + arguments); }

private:
    // Alive and not a zombie waiting for an init that may not reap it.
    static bool alive(int pid) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(in, line);
        const auto end = line.rfind(')');
        return end != std::string::npos && end + 2 < line.size() && line[end + 2] != 'Z';
    }

    std::string script_;
    TempDir dir_;
    std::optional<ScopedEnv> address_;
    int busPid_ = 0;
    int pid_ = 0;
};

} // namespace platform
