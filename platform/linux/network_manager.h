// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// NetworkManager as seen on the system bus: the links it reports metered, kept from its signals,
// and its dialled profiles (cellular, PPPoE, Bluetooth DUN), activated and deactivated on request.
// A thread of its own talks to the bus, so no caller ever waits for it. NetworkManager may start,
// stop or be replaced at any time; without an application object (no event loop) it is taken as
// absent.

#include "platform/linux/metered_links.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace platform {

class NetworkManagerWorker;

class NetworkManager : public MeteredLinks {
public:
    NetworkManager();
    ~NetworkManager() override;
    NetworkManager(const NetworkManager&) = delete;
    NetworkManager& operator=(const NetworkManager&) = delete;

    // The links NetworkManager reports metered. While it does not run, those it last reported: a
    // link it left up still costs what it cost.
    std::uint64_t generation() const override;
    std::vector<std::string> names() const override;

    // Hands the request to NetworkManager and returns true at once; `otherwise` runs later, on
    // the bus thread, when it turns out to have no dialled profile. False, and nothing done,
    // while NetworkManager does not run. A refusal goes to reportDialFailure.
    bool dial(std::function<void()> otherwise);
    bool hangUp(std::function<void()> otherwise);

    // What the bus thread shares with the callers.
    struct Shared {
        mutable std::mutex mutex;
        std::vector<std::string> metered; // sorted
        std::atomic<std::uint64_t> generation{0};
        std::atomic<bool> running{false};
    };

private:
    void stop();

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::unique_ptr<QThread> thread_;
    NetworkManagerWorker* worker_ = nullptr; // lives on thread_, deleted when it ends
};

} // namespace platform
