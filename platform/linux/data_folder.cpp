// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/data_folder.h"

#include "platform/failure.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string userDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        return std::string(xdgDataHome) + "/filocompte";
    }
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share/filocompte";
    }
    return {};
}

void enterFolder(const std::string& path) {
    // Each prefix ending before a slash, then the whole path; existing ones are left as they are,
    // and one that is not a folder makes the next step fail.
    for (auto slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (::mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
            throw IoError::fromErrno(errno);
        }
    }
    if ((::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) || ::chdir(path.c_str()) != 0) {
        throw IoError::fromErrno(errno);
    }
}

} // namespace platform
