// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What sysfs and udev's hardware database say about a network interface: facts that do not change
// while the interface keeps its index and name, so they are read once and kept.

#include <string>
#include <string_view>

namespace platform {

struct DeviceFacts {
    std::string devType; // sysfs DEVTYPE, e.g. "wlan", "wwan", "bridge"
    std::string vendor;  // the hardware database's names for the adapter, when it knows them
    std::string model;
};

class DeviceFactsReader {
public:
    // Nothing is known when sysfs has no interface of that name and index: it vanished, or this
    // process's sysfs shows another network namespace.
    DeviceFacts read(std::string_view name, unsigned index) const;

private:
    static void lookUpHardware(const std::string& modalias, DeviceFacts& facts);
};

} // namespace platform
