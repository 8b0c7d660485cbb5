// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder that keeps the program's files when it is started from the desktop menu or at login,
// rather than from a folder of the user's choice. Every failure raises IoError.

#include <string>

namespace platform {

// $XDG_DATA_HOME/filocompte, or $HOME/.local/share/filocompte where XDG_DATA_HOME is unset, empty
// or relative (the base directory rules ignore a relative one). Empty when neither gives a path.
std::string userDataFolder(const char* xdgDataHome, const char* home);

// Creates the folder with its missing parents, private to the user as the base directory rules
// ask, and makes it the current directory.
void enterFolder(const std::string& path);

} // namespace platform
