// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/version_resource.h"

#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/version.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

constexpr WORD kBinary = 0;
constexpr WORD kText = 1;
constexpr std::size_t kHeaderBytes = 6; // wLength, wValueLength, wType

std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

WORD readWord(const BYTE* at) {
    return static_cast<WORD>(at[0] | (at[1] << 8));
}

// At most `units` little-endian UTF-16 units, up to the first NUL, as UTF-8: never more than
// three bytes a unit.
std::string utf16ToUtf8(const BYTE* text, std::size_t units) {
    std::u16string wide;
    for (std::size_t i = 0; i < units && readWord(text + 2 * i) != 0; ++i) {
        wide.push_back(static_cast<char16_t>(readWord(text + 2 * i)));
    }
    return platform::utf8FromUtf16(wide);
}

// Writes nodes back to back, each starting on a 32-bit boundary; a node's wLength covers its
// children but not the padding after it.
class BlockWriter {
public:
    std::size_t begin(std::size_t valueLength, WORD type, std::string_view key) {
        pad();
        const std::size_t start = bytes_.size();
        word(0);
        word(checkedWord(valueLength));
        word(type);
        text(platform::utf16FromUtf8(key));
        pad();
        return start;
    }
    void end(std::size_t start) {
        const WORD length = checkedWord(bytes_.size() - start);
        bytes_[start] = static_cast<BYTE>(length);
        bytes_[start + 1] = static_cast<BYTE>(length >> 8);
    }
    void word(WORD value) {
        bytes_.push_back(static_cast<BYTE>(value));
        bytes_.push_back(static_cast<BYTE>(value >> 8));
    }
    void dword(DWORD value) {
        word(static_cast<WORD>(value));
        word(static_cast<WORD>(value >> 16));
    }
    // The units and a terminating NUL.
    void text(const std::u16string& value) {
        for (const char16_t unit : value) {
            word(unit);
        }
        word(0);
    }
    std::vector<BYTE> take() { return std::move(bytes_); }

private:
    void pad() { bytes_.resize(align4(bytes_.size())); }
    static WORD checkedWord(std::size_t value) {
        if (value > 0xFFFF) {
            throw std::length_error("version resource too large");
        }
        return static_cast<WORD>(value);
    }

    std::vector<BYTE> bytes_;
};

DWORD highLow(WORD high, WORD low) {
    return (DWORD{high} << 16) | low;
}

void writeFixedPart(BlockWriter& out, const platform::VersionResourceData& data) {
    const auto& file = data.fileVersion;
    const auto& product = data.productVersion;
    for (const DWORD value : {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, highLow(file[0], file[1]),
                              highLow(file[2], file[3]), highLow(product[0], product[1]),
                              highLow(product[2], product[3]), data.fileFlagsMask, data.fileFlags,
                              data.fileOS, data.fileType, data.fileSubtype, DWORD{0}, DWORD{0}}) {
        out.dword(value);
    }
}

void writeStringFileInfo(BlockWriter& out,
                         const std::vector<platform::VersionStringTable>& tables) {
    const std::size_t info = out.begin(0, kText, "StringFileInfo");
    for (const auto& table : tables) {
        const std::size_t tableStart = out.begin(0, kText, table.name);
        for (const auto& [key, value] : table.strings) {
            const std::u16string text = platform::utf16FromUtf8(value);
            const std::size_t entry = out.begin(text.size() + 1, kText, key);
            out.text(text);
            out.end(entry);
        }
        out.end(tableStart);
    }
    out.end(info);
}

void writeVarFileInfo(BlockWriter& out, const std::vector<DWORD>& translations) {
    const std::size_t info = out.begin(0, kText, "VarFileInfo");
    const std::size_t var = out.begin(translations.size() * sizeof(DWORD), kBinary, "Translation");
    for (const DWORD translation : translations) {
        out.dword(translation);
    }
    out.end(var);
    out.end(info);
}

// One node of a block, as offsets from the block's start.
struct Node {
    std::size_t end;
    WORD valueLength; // bytes for binary values, UTF-16 units for text
    WORD type;
    std::size_t keyOffset;
    std::size_t keyUnits; // without the NUL
    std::size_t valueOffset;
    std::size_t childrenOffset;
};

// The node at start, or nothing when its header, key or value does not fit before limit.
std::optional<Node> readNode(const BYTE* block, std::size_t start, std::size_t limit) {
    if (start + kHeaderBytes > limit) {
        return std::nullopt;
    }
    const std::size_t length = readWord(block + start);
    if (length < kHeaderBytes || length > limit - start) {
        return std::nullopt;
    }
    Node node{start + length,
              readWord(block + start + 2),
              readWord(block + start + 4),
              start + kHeaderBytes,
              0,
              0,
              0};
    for (;; ++node.keyUnits) {
        const std::size_t unit = node.keyOffset + 2 * node.keyUnits;
        if (unit + 2 > node.end) {
            return std::nullopt;
        }
        if (readWord(block + unit) == 0) {
            break;
        }
    }
    node.valueOffset = align4(node.keyOffset + 2 * (node.keyUnits + 1));
    const std::size_t valueBytes = node.type == kText ? 2 * node.valueLength : node.valueLength;
    if (valueBytes > 0 &&
        (node.valueOffset > node.end || valueBytes > node.end - node.valueOffset)) {
        return std::nullopt;
    }
    node.childrenOffset = align4(node.valueOffset + valueBytes);
    return node;
}

bool sameKey(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::string keyOf(const BYTE* block, const Node& node) {
    return utf16ToUtf8(block + node.keyOffset, node.keyUnits);
}

std::optional<Node> findChild(const BYTE* block, const Node& parent, std::string_view key) {
    for (std::size_t offset = parent.childrenOffset; offset < parent.end;) {
        const auto child = readNode(block, offset, parent.end);
        if (!child) {
            return std::nullopt;
        }
        if (sameKey(keyOf(block, *child), key)) {
            return child;
        }
        offset = align4(child->end);
    }
    return std::nullopt;
}

// The scratch area after a resource of `length` bytes: it mirrors the resource at one and a half
// times each offset, so every text value (2 bytes a unit) has room for its 8-bit form (at most
// 3 bytes a unit, terminator included) and no two forms overlap.
std::size_t scratchBytes(std::size_t length) {
    return (3 * length + 1) / 2;
}

char* textValue(BYTE* block, std::size_t rootLength, const Node& node) {
    if (node.valueLength == 0) {
        static char empty[] = "";
        return empty;
    }
    char* target = reinterpret_cast<char*>(block + rootLength + node.valueOffset / 2 * 3);
    const std::string text = utf16ToUtf8(block + node.valueOffset, node.valueLength - 1u);
    std::memcpy(target, text.c_str(), text.size() + 1);
    return target;
}

// The file's resource cut to its root's wLength, or nothing when it is not a version block.
std::optional<std::vector<BYTE>> loadResource(const char* fileName) {
    if (fileName == nullptr) {
        return std::nullopt;
    }
    auto resource = platform::current().versionResource(fileName);
    if (!resource) {
        return std::nullopt;
    }
    const auto root = readNode(resource->data(), 0, resource->size());
    if (!root || keyOf(resource->data(), *root) != "VS_VERSION_INFO") {
        return std::nullopt;
    }
    resource->resize(root->end);
    return resource;
}

} // namespace

namespace platform {

std::vector<BYTE> buildVersionResource(const VersionResourceData& data) {
    BlockWriter out;
    const std::size_t root = out.begin(sizeof(VS_FIXEDFILEINFO), kBinary, "VS_VERSION_INFO");
    writeFixedPart(out, data);
    if (!data.stringTables.empty()) {
        writeStringFileInfo(out, data.stringTables);
    }
    if (!data.translations.empty()) {
        writeVarFileInfo(out, data.translations);
    }
    out.end(root);
    return out.take();
}

} // namespace platform

DWORD GetModuleFileNameA(HMODULE hModule, char* lpFilename, DWORD nSize) {
    if (hModule != nullptr || lpFilename == nullptr || nSize == 0) {
        return 0;
    }
    const std::string path = platform::current().moduleFileName();
    const std::size_t length = std::min<std::size_t>(path.size(), nSize - 1);
    path.copy(lpFilename, length);
    lpFilename[length] = '\0';
    return static_cast<DWORD>(length);
}

DWORD GetFileVersionInfoSizeA(const char* lptstrFilename, DWORD* lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    const auto resource = loadResource(lptstrFilename);
    return resource ? static_cast<DWORD>(resource->size() + scratchBytes(resource->size())) : 0;
}

BOOL GetFileVersionInfoA(const char* lptstrFilename, DWORD, DWORD dwLen, void* lpData) {
    const auto resource = loadResource(lptstrFilename);
    if (!resource || lpData == nullptr ||
        dwLen < resource->size() + scratchBytes(resource->size())) {
        return FALSE;
    }
    auto* block = static_cast<BYTE*>(lpData);
    std::memcpy(block, resource->data(), resource->size());
    std::memset(block + resource->size(), 0, scratchBytes(resource->size()));
    return TRUE;
}

// The block comes from GetFileVersionInfoA, so it holds its root's wLength bytes and the scratch
// area after them; text answers are written there, as the system does, through the const pointer.
BOOL VerQueryValueA(const void* pBlock, const char* lpSubBlock, void** lplpBuffer, UINT* puLen) {
    if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr || puLen == nullptr) {
        return FALSE;
    }
    auto* block = static_cast<BYTE*>(const_cast<void*>(pBlock));
    const std::size_t rootLength = readWord(block);
    auto node = readNode(block, 0, rootLength);
    std::string_view path = lpSubBlock;
    while (node && !path.empty()) {
        const std::size_t separator = std::min(path.find('\\'), path.size());
        if (separator > 0) {
            node = findChild(block, *node, path.substr(0, separator));
        }
        path.remove_prefix(std::min(separator + 1, path.size()));
    }
    if (!node || (node->type != kText && node->valueLength == 0)) {
        return FALSE;
    }
    *lplpBuffer = node->type == kText ? static_cast<void*>(textValue(block, rootLength, *node))
                                      : static_cast<void*>(block + node->valueOffset);
    *puLen = node->valueLength;
    return TRUE;
}
