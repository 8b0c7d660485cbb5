// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/device_facts.h"

#include "platform/failure.h"
#include "platform/file_io.h"

#include <libudev.h>
#include <memory>
#include <optional>

namespace platform {

namespace {

// sysfs attributes are a page at most.
constexpr std::size_t kAttributeLimit = 4096;

std::optional<std::string> readAttribute(const std::string& path) {
    try {
        return readFile(path, kAttributeLimit);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

// The value of KEY=value lines, as in a uevent file.
std::string ueventValue(std::string_view uevent, std::string_view key) {
    std::size_t start = 0;
    while (start < uevent.size()) {
        const std::size_t end = std::min(uevent.find('\n', start), uevent.size());
        const std::string_view line = uevent.substr(start, end - start);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
            return std::string(line.substr(key.size() + 1));
        }
        start = end + 1;
    }
    return {};
}

} // namespace

DeviceFacts DeviceFactsReader::read(std::string_view name, unsigned index) const {
    const std::string directory = "/sys/class/net/" + std::string(name);
    const auto uevent = readAttribute(directory + "/uevent");
    if (!uevent || ueventValue(*uevent, "IFINDEX") != std::to_string(index)) {
        return {};
    }
    DeviceFacts facts;
    facts.devType = ueventValue(*uevent, "DEVTYPE");
    if (auto modalias = readAttribute(directory + "/device/modalias")) {
        modalias->erase(modalias->find_last_not_of("\n") + 1);
        lookUpHardware(*modalias, facts);
    }
    return facts;
}

// The database is opened for each adapter, read once in its life, rather than kept: it is a
// mapped file of some ten megabytes, and the devices without hardware (tunnels, PPP) never need it.
void DeviceFactsReader::lookUpHardware(const std::string& modalias, DeviceFacts& facts) {
    const std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), udev_unref);
    if (!context) {
        return;
    }
    // Null where the machine has no compiled hardware database.
    const std::unique_ptr<udev_hwdb, decltype(&udev_hwdb_unref)> hwdb(udev_hwdb_new(context.get()),
                                                                      udev_hwdb_unref);
    if (!hwdb) {
        return;
    }
    udev_list_entry* entry = udev_hwdb_get_properties_list_entry(hwdb.get(), modalias.c_str(), 0);
    for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
        const std::string_view key = udev_list_entry_get_name(entry);
        const char* value = udev_list_entry_get_value(entry);
        if (key == "ID_VENDOR_FROM_DATABASE" && value != nullptr) {
            facts.vendor = value;
        } else if (key == "ID_MODEL_FROM_DATABASE" && value != nullptr) {
            facts.model = value;
        }
    }
}

} // namespace platform
