// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/device_facts.h"

#include <fstream>
#include <libudev.h>
#include <optional>
#include <sstream>

namespace platform {

namespace {

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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

DeviceFactsReader::DeviceFactsReader() : udev_(udev_new()) {
    if (udev_ != nullptr) {
        hwdb_ = udev_hwdb_new(udev_);
    }
}

DeviceFactsReader::~DeviceFactsReader() {
    if (hwdb_ != nullptr) {
        udev_hwdb_unref(hwdb_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

DeviceFacts DeviceFactsReader::read(std::string_view name, unsigned index) const {
    const std::string directory = "/sys/class/net/" + std::string(name);
    const auto uevent = readFile(directory + "/uevent");
    if (!uevent || ueventValue(*uevent, "IFINDEX") != std::to_string(index)) {
        return {};
    }
    DeviceFacts facts;
    facts.devType = ueventValue(*uevent, "DEVTYPE");
    if (hwdb_ != nullptr) {
        if (auto modalias = readFile(directory + "/device/modalias")) {
            modalias->erase(modalias->find_last_not_of("\n") + 1);
            lookUpHardware(*modalias, facts);
        }
    }
    return facts;
}

void DeviceFactsReader::lookUpHardware(const std::string& modalias, DeviceFacts& facts) const {
    udev_list_entry* entry = udev_hwdb_get_properties_list_entry(hwdb_, modalias.c_str(), 0);
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
