// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The version resource in the binary layout of 32-bit Windows (VS_VERSIONINFO), built from plain
// data. The build stores one in the executable; version.h reads it back.

#include "platform/system_types.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

// The fixed part, as "\" answers it.
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VOS__WINDOWS32 = 4;
inline constexpr DWORD VFT_APP = 1;

namespace platform {

struct VersionStringTable {
    std::string name; // 8 hex digits: language then code page, "040C04E4"
    // Keys and values in UTF-8, stored in this order.
    std::vector<std::pair<std::string, std::string>> strings;
};

struct VersionResourceData {
    std::array<WORD, 4> fileVersion{}; // most significant first: 3.0.0.0 is {3, 0, 0, 0}
    std::array<WORD, 4> productVersion{};
    DWORD fileFlagsMask = 0;
    DWORD fileFlags = 0;
    DWORD fileOS = 0;
    DWORD fileType = 0;
    DWORD fileSubtype = 0;
    // Each entry: language in the low word, code page in the high word. None: no VarFileInfo.
    std::vector<DWORD> translations;
    // None: no StringFileInfo.
    std::vector<VersionStringTable> stringTables;
};

// The bytes of the VS_VERSIONINFO block, little endian.
std::vector<BYTE> buildVersionResource(const VersionResourceData& data);

} // namespace platform
