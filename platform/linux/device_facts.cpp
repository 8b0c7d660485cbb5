// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/device_facts.h"

#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/linux/dynamic_library.h"

#include <libudev.h>
#include <memory>
#include <optional>

namespace platform {

namespace {

// libudev's functions that the hardware database needs, loaded at the first adapter that has
// hardware: tunnels and PPP links never need it.
struct Udev {
    decltype(&udev_new) contextNew;
    decltype(&udev_unref) contextUnref;
    decltype(&udev_hwdb_new) hwdbNew;
    decltype(&udev_hwdb_unref) hwdbUnref;
    decltype(&udev_hwdb_get_properties_list_entry) properties;
    decltype(&udev_list_entry_get_next) next;
    decltype(&udev_list_entry_get_name) name;
    decltype(&udev_list_entry_get_value) value;
};

const Udev* LoadUdev() {
    return LoadFunctions<Udev>("libudev.so.1", [](void* library, Udev& functions) {
        return Resolve(library, "udev_new", functions.contextNew) &&
               Resolve(library, "udev_unref", functions.contextUnref) &&
               Resolve(library, "udev_hwdb_new", functions.hwdbNew) &&
               Resolve(library, "udev_hwdb_unref", functions.hwdbUnref) &&
               Resolve(library, "udev_hwdb_get_properties_list_entry", functions.properties) &&
               Resolve(library, "udev_list_entry_get_next", functions.next) &&
               Resolve(library, "udev_list_entry_get_name", functions.name) &&
               Resolve(library, "udev_list_entry_get_value", functions.value);
    });
}

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
    const Udev* udev = LoadUdev();
    if (udev == nullptr) {
        return;
    }
    const std::unique_ptr<struct udev, decltype(udev->contextUnref)> context(udev->contextNew(),
                                                                             udev->contextUnref);
    if (!context) {
        return;
    }
    // Null where the machine has no compiled hardware database.
    const std::unique_ptr<udev_hwdb, decltype(udev->hwdbUnref)> hwdb(udev->hwdbNew(context.get()),
                                                                     udev->hwdbUnref);
    if (!hwdb) {
        return;
    }
    udev_list_entry* entry = udev->properties(hwdb.get(), modalias.c_str(), 0);
    for (; entry != nullptr; entry = udev->next(entry)) {
        const std::string_view key = udev->name(entry);
        const char* value = udev->value(entry);
        if (key == "ID_VENDOR_FROM_DATABASE" && value != nullptr) {
            facts.vendor = value;
        } else if (key == "ID_MODEL_FROM_DATABASE" && value != nullptr) {
            facts.model = value;
        }
    }
}

} // namespace platform
