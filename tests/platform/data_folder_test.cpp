// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/data_folder.h"
#include "platform/failure.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using platform::enterFolder;
using platform::userDataFolder;

TEST(UserDataFolder, FollowsAnAbsoluteXdgDataHome) {
    EXPECT_EQ(userDataFolder("/data", "/home/ana"), "/data/filocompte");
}

TEST(UserDataFolder, FallsBackOnHomeWhereXdgDataHomeIsUnsetEmptyOrRelative) {
    EXPECT_EQ(userDataFolder(nullptr, "/home/ana"), "/home/ana/.local/share/filocompte");
    EXPECT_EQ(userDataFolder("", "/home/ana"), "/home/ana/.local/share/filocompte");
    EXPECT_EQ(userDataFolder("data", "/home/ana"), "/home/ana/.local/share/filocompte");
    EXPECT_EQ(userDataFolder(nullptr, nullptr), "");
}

// Each test runs in a scratch folder and goes back to where it started.
class EnterFolder : public ::testing::Test {
protected:
    EnterFolder()
        : previous_(fs::current_path()),
          root_(fs::temp_directory_path() / ("data_folder_test_" + std::to_string(::getpid()))) {
        fs::create_directories(root_);
    }
    ~EnterFolder() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

    fs::path previous_;
    fs::path root_;
};

TEST_F(EnterFolder, CreatesTheMissingParentsPrivateAndEntersTheFolder) {
    const fs::path folder = root_ / "home/.local/share/filocompte";
    enterFolder(folder.string());
    EXPECT_EQ(fs::current_path(), folder);
    EXPECT_EQ(fs::status(root_ / "home").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
}

TEST_F(EnterFolder, KeepsAnExistingFolderAndItsFiles) {
    fs::create_directories(root_ / "filocompte");
    std::ofstream(root_ / "filocompte/jour_raz.txt") << "15";
    enterFolder((root_ / "filocompte").string());
    EXPECT_TRUE(fs::exists("jour_raz.txt"));
}

TEST_F(EnterFolder, FailsWithoutMovingWhereAParentIsAFile) {
    std::ofstream(root_ / "home") << "";
    const fs::path before = fs::current_path();
    try {
        enterFolder((root_ / "home/.local/share/filocompte").string());
        FAIL() << "no error";
    } catch (const platform::IoError& error) {
        EXPECT_EQ(std::string(error.what()), "Nom de fichier incorrect");
    }
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(EnterFolder, FailsOnAnEmptyPath) {
    EXPECT_THROW(enterFolder(""), platform::IoError);
}

} // namespace
