// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own version information, read from its executable at each call.

#include <QString>

enum class TInfo {
    CompanyName,
    FileDescription,
    FileVersion,
    InternalName,
    LegalCopyright,
    OriginalFilename,
    ProductName,
    ProductVersion
};

// The key of the version information entry: the enumerator's own name, "CompanyName"...
const char* TInfoName(TInfo key);

// The entry's text in the first translation's string table, empty when the executable has no
// version information, no such table or no such entry. Never reports an error.
QString ReadVersionInfo(TInfo key);
