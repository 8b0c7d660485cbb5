// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/settings.h"
#include "platform/failure.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <QFileInfo>

namespace {

class SettingsFile : public InTemporaryDirectory {};

TEST_F(SettingsFile, CreatedOnlyWhenAValueLeavesItsDefault) {
    Settings settings;
    settings.SetText("facturation/pas", "1", "1");
    settings.SetText("alertes/seuils", "80,90", "80,90");
    EXPECT_FALSE(QFileInfo::exists(kSettingsFileName));
    EXPECT_EQ(settings.Integer("facturation/pas", 1), 1);

    settings.SetText("facturation/pas", "30", "1");
    settings.SetText("alertes/seuils", "70,85", "80,90");
    EXPECT_EQ(Settings().Integer("facturation/pas", 1), 30);
    EXPECT_EQ(Settings().Text("alertes/seuils", "80,90"), "70,85");

    // Back to the default: the key goes, the file stays.
    settings.SetText("facturation/pas", "1", "1");
    EXPECT_EQ(settings.Integer("facturation/pas", 7), 7);
    EXPECT_TRUE(QFileInfo::exists(kSettingsFileName));
}

TEST_F(SettingsFile, AValueEditedByHandThatIsNoNumberReadsAsTheDefault) {
    Put(kSettingsFileName, "[facturation]\npas=abc\nminimum= 60 \n[alertes]\nseuils=70, 95\n");
    const Settings settings;
    EXPECT_EQ(settings.Integer("facturation/pas", 1), 1);
    EXPECT_EQ(settings.Integer("facturation/minimum", 0), 60);
    EXPECT_EQ(settings.Text("alertes/seuils", "80,90").remove(' '), "70,95");
}

TEST_F(SettingsFile, AFileThatCannotBeWrittenIsReported) {
    QDir().mkdir(kSettingsFileName); // a folder where the file should be
    Settings settings;
    EXPECT_THROW(settings.SetText("facturation/pas", "30", "1"), platform::Failure);
}

} // namespace
