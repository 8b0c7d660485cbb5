// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/version_info.h"

#include "platform/fake/fake_platform.h"
#include "platform/version_resource.h"

#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr TInfo kAll[] = {TInfo::CompanyName,  TInfo::FileDescription, TInfo::FileVersion,
                          TInfo::InternalName, TInfo::LegalCopyright,  TInfo::OriginalFilename,
                          TInfo::ProductName,  TInfo::ProductVersion};

// As text that failures print readably.
std::string Read(TInfo key) {
    return ReadVersionInfo(key).toStdString();
}

// The system's own reading of another executable, as if it were the running program.
class RunningAs : public platform::FakePlatform {
public:
    explicit RunningAs(const std::string& path) {
        exePath = path;
        if (auto resource = platform::current().versionResource(path.c_str())) {
            versionResources[path] = *resource;
        }
    }
};

TEST(ReadVersionInfo, ReadsEachEntryFromTheProgramsExecutable) {
    RunningAs program(FILOCOMPTE_EXECUTABLE);
    platform::ScopedPlatform installed(program);
    const struct {
        const char* name;
        const char* value;
    } expected[] = {{"CompanyName", "Les contributeurs de Filocompte"},
                    {"FileDescription", "Filocompte"},
                    {"FileVersion", "3.0.0.0"},
                    {"InternalName", "Filocompte"},
                    {"LegalCopyright", "Les contributeurs de Filocompte"},
                    {"OriginalFilename", ""},
                    {"ProductName", "Filocompte"},
                    {"ProductVersion", "1.0.0.0"}};
    for (std::size_t i = 0; i < std::size(kAll); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kAll[i]), i);
        EXPECT_STREQ(TInfoName(kAll[i]), expected[i].name);
        EXPECT_EQ(Read(kAll[i]), expected[i].value);
    }
}

TEST(ReadVersionInfo, IsEmptyForAnExecutableWithoutVersionInformation) {
    RunningAs program(FILOCOMPTE_UNVERSIONED_EXECUTABLE);
    platform::ScopedPlatform installed(program);
    for (const TInfo key : kAll) {
        EXPECT_EQ(Read(key), "") << TInfoName(key);
    }
    RunningAs nowhere("");
    platform::ScopedPlatform none(nowhere);
    EXPECT_EQ(Read(TInfo::ProductName), "");
}

// Crafted blocks for a program at a fake path.
class CraftedVersion : public ::testing::Test {
protected:
    CraftedVersion() {
        fake_.exePath = "/opt/filocompte/filocompte";
        data_.translations = {0x04E4'040C};
        data_.stringTables = {{"040C04E4", {{"ProductName", "Filocompte"}, {"FileVersion", ""}}},
                              {"040904B0", {{"ProductName", "Filocompte (en)"}}}};
    }

    void install(const std::vector<BYTE>& resource) {
        fake_.versionResources[fake_.exePath] = resource;
    }

    platform::FakePlatform fake_;
    platform::ScopedPlatform installed_{fake_};
    platform::VersionResourceData data_;
};

TEST_F(CraftedVersion, UsesOnlyTheFirstTranslation) {
    install(platform::buildVersionResource(data_));
    EXPECT_EQ(Read(TInfo::ProductName), "Filocompte");

    data_.translations = {0x04B0'0409, 0x04E4'040C};
    install(platform::buildVersionResource(data_));
    EXPECT_EQ(Read(TInfo::ProductName), "Filocompte (en)");
    EXPECT_EQ(Read(TInfo::FileVersion), "");

    data_.translations.clear();
    install(platform::buildVersionResource(data_));
    EXPECT_EQ(Read(TInfo::ProductName), "");
}

TEST_F(CraftedVersion, EmptyOrMissingEntriesAndBrokenBlocksGiveEmptyText) {
    auto resource = platform::buildVersionResource(data_);
    install(resource);
    EXPECT_EQ(Read(TInfo::FileVersion), "");
    EXPECT_EQ(Read(TInfo::CompanyName), "");

    resource.pop_back();
    install(resource);
    EXPECT_EQ(Read(TInfo::ProductName), "");

    // A value length of 0 reads as no text, whatever the bytes after the key.
    resource = platform::buildVersionResource(data_);
    const char key[] = "P\0r\0o\0d";
    const auto at = std::search(resource.begin(), resource.end(), key, key + sizeof key - 1);
    ASSERT_NE(at, resource.end());
    *(at - 4) = 0;
    install(resource);
    EXPECT_EQ(Read(TInfo::ProductName), "");

    // A translation entry shorter than its 32 bits is no translation.
    resource = platform::buildVersionResource(data_);
    const char translation[] = "T\0r\0a\0n\0s";
    const auto entry = std::search(resource.begin(), resource.end(), translation,
                                   translation + sizeof translation - 1);
    ASSERT_NE(entry, resource.end());
    *(entry - 4) = 2;
    install(resource);
    EXPECT_EQ(Read(TInfo::ProductName), "");
}

TEST_F(CraftedVersion, ThePathIsCutAt1024Bytes) {
    fake_.exePath = "/" + std::string(1023, 'a');
    install(platform::buildVersionResource(data_));
    EXPECT_EQ(Read(TInfo::ProductName), "Filocompte");
    fake_.versionResources.clear();
    fake_.exePath += 'b';
    install(platform::buildVersionResource(data_));
    EXPECT_EQ(Read(TInfo::ProductName), "");
}

TEST(ApplicationIcon, HoldsTransparent32And16PixelImages) {
    const QIcon icon(":/icons/filocompte.ico");
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    for (const int side : {16, 32}) {
        const QImage image = icon.pixmap(side).toImage();
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side;
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << side;
    }
}

} // namespace
