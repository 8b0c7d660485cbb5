// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/version_info.h"

#include "platform/version.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::array<const char*, 8> kNames = {
    "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
    "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};

// "LLLLCCCC" from the first translation entry, empty when the block has none.
std::string TranslationTable(const void* block) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(DWORD)) {
        return {};
    }
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    return QString::asprintf("%04X%04X", translation & 0xFFFF, translation >> 16).toStdString();
}

} // namespace

const char* TInfoName(TInfo key) {
    return kNames.at(static_cast<std::size_t>(key));
}

QString ReadVersionInfo(TInfo key) {
    char fileName[1025] = {};
    GetModuleFileNameA(nullptr, fileName, sizeof fileName);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) {
        return {};
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(fileName, handle, size, block.data())) {
        return {};
    }
    const std::string path =
        "\\StringFileInfo\\" + TranslationTable(block.data()) + "\\" + TInfoName(key);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) {
        return {};
    }
    return QString::fromLocal8Bit(static_cast<const char*>(value));
}
