// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fake/fake_platform.h"
#include "platform/linux/elf_version.h"
#include "platform/version.h"
#include "platform/version_resource.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using platform::VersionResourceData;

constexpr DWORD kFrench1252 = 0x04E4'040C;
constexpr const char* kFile = "C:\\prog.exe";

VersionResourceData sample() {
    VersionResourceData data;
    data.fileVersion = {3, 1, 2, 0x1234};
    data.productVersion = {1, 0, 0, 7};
    data.fileFlagsMask = 0x3F;
    data.fileOS = VOS__WINDOWS32;
    data.fileType = VFT_APP;
    data.translations = {kFrench1252, 0x04B0'0409};
    data.stringTables = {
        {"040C04E4", {{"CompanyName", "Les contributeurs"}, {"Comments", "dépassement €𝄞"}}},
        {"040904B0", {{"CompanyName", "The contributors"}, {"LegalTrademarks", ""}}}};
    return data;
}

WORD wordAt(const std::vector<BYTE>& bytes, std::size_t offset) {
    return static_cast<WORD>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::string keyAt(const std::vector<BYTE>& bytes, std::size_t offset) {
    std::string key;
    for (; wordAt(bytes, offset) != 0; offset += 2) {
        key += static_cast<char>(wordAt(bytes, offset));
    }
    return key;
}

// The answer to a query, copied out of the block.
struct Answer {
    std::vector<BYTE> value;
    UINT length = 0;
};

// Installs resources for kFile and loads them into exact-size blocks, as a caller would.
class VersionQueries : public ::testing::Test {
protected:
    // The loaded block, empty when the size query answers 0.
    std::vector<BYTE> load(std::vector<BYTE> resource) {
        fake_.versionResources[kFile] = std::move(resource);
        DWORD handle = 99;
        std::vector<BYTE> block(GetFileVersionInfoSizeA(kFile, &handle));
        EXPECT_EQ(handle, 0u);
        if (!block.empty()) {
            EXPECT_TRUE(
                GetFileVersionInfoA(kFile, handle, static_cast<DWORD>(block.size()), block.data()));
        }
        return block;
    }

    // Fails the test when the answer does not lie wholly inside the block.
    static std::optional<Answer> query(const std::vector<BYTE>& block, const char* path) {
        void* buffer = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block.data(), path, &buffer, &length)) {
            return std::nullopt;
        }
        const auto* begin = static_cast<const BYTE*>(buffer);
        const BYTE* end = block.data() + block.size();
        if (length == 0) {
            return Answer{};
        }
        EXPECT_TRUE(begin >= block.data() && begin < end) << path;
        const std::size_t available = static_cast<std::size_t>(end - begin);
        const auto* text = static_cast<const char*>(buffer);
        const bool isText = std::string_view(path).find("StringFileInfo") != std::string_view::npos;
        const std::size_t size = isText ? strnlen(text, available) + 1 : length;
        EXPECT_LE(size, available) << path;
        return Answer{std::vector<BYTE>(begin, begin + std::min(size, available)), length};
    }

    static std::optional<std::string> text(const std::vector<BYTE>& block, const char* path) {
        const auto answer = query(block, path);
        if (!answer || answer->value.empty()) {
            return answer ? std::optional<std::string>("") : std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(answer->value.data()));
    }

    static DWORD dwordAt(const Answer& answer, std::size_t index) {
        DWORD value = 0;
        std::memcpy(&value, answer.value.data() + 4 * index, 4);
        return value;
    }

    platform::FakePlatform fake_;
    platform::ScopedPlatform installed_{fake_};
};

TEST(VersionResourceBuilder, LaysOutNodesWithTheirLengthsKeysAndPadding) {
    VersionResourceData data;
    data.translations = {kFrench1252};
    data.stringTables = {{"040C04E4", {{"K", "v"}}}};
    const auto bytes = platform::buildVersionResource(data);

    ASSERT_EQ(bytes.size(), 236u);
    // Offset of each node, then its wLength, wValueLength, wType and key.
    const struct {
        std::size_t at;
        WORD length, valueLength, type;
        const char* key;
    } nodes[] = {{0, 236, 52, 0, "VS_VERSION_INFO"}, {92, 76, 0, 1, "StringFileInfo"},
                 {128, 40, 0, 1, "040C04E4"},        {152, 16, 2, 1, "K"},
                 {168, 68, 0, 1, "VarFileInfo"},     {200, 36, 4, 0, "Translation"}};
    for (const auto& node : nodes) {
        EXPECT_EQ(wordAt(bytes, node.at), node.length) << node.key;
        EXPECT_EQ(wordAt(bytes, node.at + 2), node.valueLength) << node.key;
        EXPECT_EQ(wordAt(bytes, node.at + 4), node.type) << node.key;
        EXPECT_EQ(keyAt(bytes, node.at + 6), node.key);
    }
    EXPECT_EQ(wordAt(bytes, 40), 0x04BD); // signature, after the key's padding
    EXPECT_EQ(wordAt(bytes, 42), 0xFEEF);
    EXPECT_EQ(wordAt(bytes, 164), 'v');
    EXPECT_EQ(wordAt(bytes, 166), 0);
    EXPECT_EQ(wordAt(bytes, 232), 0x040C);
    EXPECT_EQ(wordAt(bytes, 234), 0x04E4);
}

TEST_F(VersionQueries, AnswerTheFixedPartTranslationsAndTexts) {
    const auto block = load(platform::buildVersionResource(sample()));
    ASSERT_FALSE(block.empty());

    const auto fixed = query(block, "\\");
    ASSERT_TRUE(fixed);
    ASSERT_EQ(fixed->length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixed->value.data(), sizeof info);
    EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(info.dwFileVersionMS, 0x0003'0001u);
    EXPECT_EQ(info.dwFileVersionLS, 0x0002'1234u);
    EXPECT_EQ(info.dwProductVersionMS, 0x0001'0000u);
    EXPECT_EQ(info.dwProductVersionLS, 7u);
    EXPECT_EQ(info.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(info.dwFileOS, VOS__WINDOWS32);
    EXPECT_EQ(info.dwFileType, VFT_APP);

    const auto translations = query(block, "\\VarFileInfo\\Translation");
    ASSERT_TRUE(translations);
    EXPECT_EQ(translations->length, 8u);
    EXPECT_EQ(dwordAt(*translations, 0), kFrench1252);
    EXPECT_EQ(dwordAt(*translations, 1), 0x04B0'0409u);

    EXPECT_EQ(text(block, "\\StringFileInfo\\040C04E4\\CompanyName"), "Les contributeurs");
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904B0\\CompanyName"), "The contributors");
    // Non-ASCII texts come out as UTF-8; the length stays in UTF-16 units, terminator included.
    EXPECT_EQ(text(block, "\\StringFileInfo\\040C04E4\\Comments"), "dépassement €𝄞");
    EXPECT_EQ(query(block, "\\StringFileInfo\\040C04E4\\Comments")->length, 16u);
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904B0\\LegalTrademarks"), "");
    EXPECT_EQ(query(block, "\\StringFileInfo\\040904B0\\LegalTrademarks")->length, 1u);
    // Asking twice gives the same text, and one answer does not spoil another.
    EXPECT_EQ(text(block, "\\StringFileInfo\\040C04E4\\CompanyName"), "Les contributeurs");
}

TEST_F(VersionQueries, KeysCompareWithoutCaseAndMissingOnesFail) {
    const auto block = load(platform::buildVersionResource(sample()));
    EXPECT_EQ(text(block, "\\stringfileinfo\\040c04e4\\COMPANYNAME"), "Les contributeurs");
    EXPECT_EQ(text(block, "StringFileInfo\\040C04E4\\CompanyName\\"), "Les contributeurs");
    EXPECT_FALSE(query(block, "\\StringFileInfo\\040C04E4\\ProductName"));
    EXPECT_FALSE(query(block, "\\StringFileInfo\\040C04B0\\CompanyName"));
    EXPECT_FALSE(query(block, "\\StringFileInfo\\\\CompanyName\\x"));
    EXPECT_FALSE(query(block, "\\StringFileInfo\\040C04E4\\CompanyNam"));
    EXPECT_FALSE(query(block, "\\VarFileInfo\\Translations"));
}

TEST_F(VersionQueries, ABlockWithoutTranslationsOrTablesHasNoSuchParts) {
    VersionResourceData data = sample();
    data.translations.clear();
    EXPECT_FALSE(query(load(platform::buildVersionResource(data)), "\\VarFileInfo\\Translation"));

    data.stringTables.clear();
    const auto bare = load(platform::buildVersionResource(data));
    EXPECT_TRUE(query(bare, "\\"));
    EXPECT_FALSE(query(bare, "\\StringFileInfo\\040C04E4\\CompanyName"));
}

TEST_F(VersionQueries, OnlyWholeWellFormedBlocksHaveASize) {
    EXPECT_EQ(GetFileVersionInfoSizeA("C:\\other.exe", nullptr), 0u);
    auto resource = platform::buildVersionResource(sample());

    // Anything after the root's wLength is left out.
    auto longer = resource;
    longer.resize(resource.size() + 100, 0xAB);
    EXPECT_EQ(load(longer).size(), load(resource).size());

    for (const std::size_t cut :
         {std::size_t{0}, std::size_t{1}, std::size_t{6}, std::size_t{40}, resource.size() - 1}) {
        EXPECT_TRUE(load({resource.begin(), resource.begin() + cut}).empty()) << cut;
    }
    auto wrongKey = resource;
    wrongKey[6] = 'W';
    EXPECT_TRUE(load(wrongKey).empty());
    auto tooShort = resource;
    tooShort[0] = 5;
    tooShort[1] = 0;
    EXPECT_TRUE(load(tooShort).empty());

    fake_.versionResources[kFile] = resource;
    std::vector<BYTE> small(GetFileVersionInfoSizeA(kFile, nullptr) - 1);
    EXPECT_FALSE(GetFileVersionInfoA(kFile, 0, static_cast<DWORD>(small.size()), small.data()));
}

// Every byte of the resource spoiled in turn: every query either fails or answers inside the
// exact-size block (the sanitizers watch the reads and writes).
TEST_F(VersionQueries, CorruptBlocksNeverLeadOutsideTheBlock) {
    const auto resource = platform::buildVersionResource(sample());
    const char* paths[] = {"\\",
                           "\\VarFileInfo\\Translation",
                           "\\StringFileInfo\\040C04E4\\CompanyName",
                           "\\StringFileInfo\\040C04E4\\Comments",
                           "\\StringFileInfo\\040904B0\\LegalTrademarks",
                           "\\StringFileInfo\\040904B0\\Missing"};
    int loaded = 0;
    for (std::size_t at = 0; at < resource.size(); ++at) {
        for (const BYTE spoilt : std::initializer_list<BYTE>{0x00, 0x01, 0x07, 0x80, 0xFF}) {
            auto corrupt = resource;
            corrupt[at] = spoilt;
            const auto block = load(corrupt);
            if (block.empty()) {
                continue;
            }
            ++loaded;
            for (const char* path : paths) {
                query(block, path);
            }
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(VersionQueries, ModuleFileNameIsCutToTheBufferAndTerminated) {
    fake_.exePath = "/opt/filocompte/filocompte";
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "/opt/fi");

    char whole[64];
    EXPECT_EQ(GetModuleFileNameA(nullptr, whole, sizeof whole), 26u);
    EXPECT_STREQ(whole, "/opt/filocompte/filocompte");

    char untouched = 'x';
    EXPECT_EQ(GetModuleFileNameA(nullptr, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'x');
    fake_.exePath.clear();
    EXPECT_EQ(GetModuleFileNameA(nullptr, whole, sizeof whole), 0u);
    EXPECT_STREQ(whole, "");
}

std::vector<BYTE> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string writeFile(const std::string& name, const std::vector<BYTE>& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

void put(std::vector<BYTE>& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes.at(at + i) = static_cast<BYTE>(value >> (8 * i));
    }
}

// A minimal 32-bit little-endian ELF file: the null section, the section names, then one section
// called `name` holding payload.
std::vector<BYTE> elf32(const std::string& name, const std::vector<BYTE>& payload) {
    const std::string names = std::string("\0.shstrtab\0", 11) + name + '\0';
    const std::size_t namesAt = 52, payloadAt = namesAt + names.size();
    const std::size_t tableAt = (payloadAt + payload.size() + 3) / 4 * 4;
    std::vector<BYTE> file(tableAt + 3 * 40);
    std::memcpy(file.data(),
                "\x7f"
                "ELF\x01\x01\x01",
                7);
    std::memcpy(file.data() + namesAt, names.data(), names.size());
    std::copy(payload.begin(), payload.end(), file.begin() + payloadAt);
    put(file, 16, 2, 2); // executable
    put(file, 32, tableAt, 4);
    put(file, 40, 52, 2);
    put(file, 46, 40, 2);
    put(file, 48, 3, 2);
    put(file, 50, 1, 2); // the names' section
    // Each section: sh_name, sh_type, sh_offset, sh_size.
    const std::size_t sections[][4] = {{1, 3, namesAt, names.size()},
                                       {11, 1, payloadAt, payload.size()}};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t entry = tableAt + 40 * (i + 1);
        put(file, entry, sections[i][0], 4);
        put(file, entry + 4, sections[i][1], 4);
        put(file, entry + 16, sections[i][2], 4);
        put(file, entry + 20, sections[i][3], 4);
    }
    return file;
}

TEST(ElfVersionSection, IsReadFromTheProgramAndParsesAsItsVersion) {
    const auto section = platform::readElfVersionSection(FILOCOMPTE_EXECUTABLE);
    ASSERT_TRUE(section);
    platform::FakePlatform fake;
    platform::ScopedPlatform installed(fake);
    fake.versionResources["filocompte"] = *section;
    std::vector<BYTE> block(GetFileVersionInfoSizeA("filocompte", nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoA("filocompte", 0, static_cast<DWORD>(block.size()), block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\StringFileInfo\\040C04E4\\Comments", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "gestion du dépassement de forfait");
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x0003'0000u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x0003'0000u);
    EXPECT_EQ(fixed.dwFileOS, VOS__WINDOWS32);
    EXPECT_EQ(fixed.dwFileType, VFT_APP);
}

TEST(ElfVersionSection, IsNothingWithoutTheSectionOrOutsideAWellFormedElfFile) {
    EXPECT_FALSE(platform::readElfVersionSection(FILOCOMPTE_UNVERSIONED_EXECUTABLE));
    EXPECT_FALSE(platform::readElfVersionSection("/nonexistent/filocompte"));
    EXPECT_FALSE(platform::readElfVersionSection(::testing::TempDir().c_str()));
    EXPECT_FALSE(platform::readElfVersionSection(writeFile("text", {'E', 'L', 'F', '\n'}).c_str()));

    const auto program = readFile(FILOCOMPTE_EXECUTABLE);
    for (const std::size_t cut :
         {std::size_t{4}, std::size_t{63}, program.size() / 2, program.size() - 1}) {
        const auto path = writeFile("cut", {program.begin(), program.begin() + cut});
        EXPECT_FALSE(platform::readElfVersionSection(path.c_str())) << cut;
    }
    // Section table offset, entry size, count and names' index spoilt in turn.
    const std::uint64_t spoils[][3] = {
        {40, 8, ~std::uint64_t{0} - 8}, {58, 2, 65}, {60, 2, 0}, {62, 2, 0xFFFE}};
    for (const auto& [at, width, value] : spoils) {
        auto spoilt = program;
        put(spoilt, at, value, width);
        EXPECT_FALSE(platform::readElfVersionSection(writeFile("spoilt", spoilt).c_str())) << at;
    }
}

TEST(ElfVersionSection, ReadsThirtyTwoBitFilesAndChecksTheirSections) {
    const std::vector<BYTE> payload = {1, 2, 3, 4, 5};
    EXPECT_EQ(platform::readElfVersionSection(
                  writeFile("elf32", elf32(platform::kVersionSectionName, payload)).c_str()),
              payload);
    EXPECT_FALSE(platform::readElfVersionSection(
        writeFile("elf32", elf32(".filocompte.vers", payload)).c_str()));

    const auto good = elf32(platform::kVersionSectionName, payload);
    const std::size_t versionEntry = good.size() - 40;
    // Payload past the end, name past the names, big-endian data.
    const std::size_t spoils[][3] = {
        {versionEntry + 20, 4, 1000}, {versionEntry, 4, 100}, {5, 1, 2}};
    for (const auto& [at, width, value] : spoils) {
        auto spoilt = good;
        put(spoilt, at, value, width);
        EXPECT_FALSE(platform::readElfVersionSection(writeFile("elf32", spoilt).c_str())) << at;
    }
}

} // namespace
