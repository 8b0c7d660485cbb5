// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/failure.h"
#include "platform/program_module.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The journal's module, linked beside this test as beside every test program.
constexpr char kModule[] = "libfilocompte-journal.so";

// What loading gives: "found", or the message raised.
QString Load(const QStringList& folders, const char* symbol) {
    try {
        return platform::LoadModuleFunction(folders, kModule, symbol, "absent",
                                            "inutilisable : %1") != nullptr
                   ? "found"
                   : "null";
    } catch (const platform::Failure& failure) {
        return QString::fromUtf8(failure.what());
    }
}

TEST(ProgramModule, IsTakenFromTheFirstFolderThatHoldsItAndFailsWithTheCallersMessage) {
    QTemporaryDir empty;
    QTemporaryDir broken;
    QFile file(broken.filePath(kModule));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("pas une bibliothèque");
    file.close();

    EXPECT_FALSE(platform::ModuleInstalled({empty.path()}, kModule));
    EXPECT_TRUE(platform::ModuleInstalled({empty.path(), TEST_FOLDER}, kModule));
    EXPECT_EQ(Load({empty.path()}, "OpenJournalDatabase"), "absent");
    EXPECT_EQ(Load({empty.path(), TEST_FOLDER}, "OpenJournalDatabase"), "found");
    // The first file found is the one used, even when it cannot serve.
    const QString unusable = Load({broken.path(), TEST_FOLDER}, "OpenJournalDatabase");
    EXPECT_TRUE(unusable.startsWith("inutilisable : ") && unusable.size() > 20)
        << unusable.toStdString();
    EXPECT_TRUE(Load({TEST_FOLDER}, "NoSuchFunction").startsWith("inutilisable : "));
}

} // namespace
