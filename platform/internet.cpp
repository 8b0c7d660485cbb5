// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/internet.h"

#include <mutex>

namespace platform {

namespace {

// Held while the report runs, so that replacing it waits for a report in progress.
std::mutex reportMutex;
std::function<void(const std::string&)> dialFailureReport;

} // namespace

void setDialFailureReport(std::function<void(const std::string&)> report) {
    const std::lock_guard lock(reportMutex);
    dialFailureReport = std::move(report);
}

void reportDialFailure(const std::string& text) {
    const std::lock_guard lock(reportMutex);
    if (dialFailureReport) {
        dialFailureReport(text);
    }
}

} // namespace platform
