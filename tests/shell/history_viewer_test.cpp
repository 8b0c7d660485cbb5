// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_viewer.h"
#include "tests/support/working_directory.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The history's own process, on a pipe standing for the program: the window comes with the first
// facts, from the real module; the process ends with the window or with its input.
class HistoryViewerTest : public InTemporaryDirectory {
protected:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<HistoryViewer> viewer;

    HistoryViewerTest() {
        EXPECT_EQ(pipe(pipe_), 0);
        viewer = std::make_unique<HistoryViewer>(
            LoadHistoryModule({FILOCOMPTE_HISTORY_MODULE_FOLDER}), pipe_[0]);
    }
    ~HistoryViewerTest() override {
        viewer.reset();
        CloseInput();
        close(pipe_[0]);
    }
    void Send(const QByteArray& lines) {
        ASSERT_EQ(write(pipe_[1], lines.data(), static_cast<size_t>(lines.size())), lines.size());
        QTest::qWait(50);
    }
    void CloseInput() {
        if (pipe_[1] >= 0) {
            close(pipe_[1]);
            pipe_[1] = -1;
        }
    }
};

TEST_F(HistoryViewerTest, TheWindowComesWithTheFirstFactsAndGoesWithTheProgram) {
    QSignalSpy ended(viewer.get(), &HistoryViewer::Ended);
    Send("show\nadded\nnot a message\n");
    EXPECT_EQ(viewer->Window(), nullptr);
    // Half a line waits for its end.
    Send("facts 2026-12-01T00:00:00.000 3600 20 1 ");
    EXPECT_EQ(viewer->Window(), nullptr);
    Send("0 0\nfacts 2026-12-01T00:00:00.000 3601 20 1 0 0\n");
    ASSERT_NE(viewer->Window(), nullptr);
    EXPECT_TRUE(viewer->Window()->isVisible());
    EXPECT_EQ(viewer->Window()->windowTitle(), "Historique des connexions");
    EXPECT_TRUE(ended.isEmpty());
    CloseInput();
    EXPECT_TRUE(ended.wait(2000));
}

TEST_F(HistoryViewerTest, ClosingTheWindowEndsIt) {
    QSignalSpy ended(viewer.get(), &HistoryViewer::Ended);
    Send("facts 2026-12-01T00:00:00.000 0 20 1 0 0\n");
    ASSERT_NE(viewer->Window(), nullptr);
    viewer->Window()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ended.count(), 1);
    // Facts that were on their way make no second window.
    Send("facts 2026-12-01T00:00:00.000 0 20 1 0 0\n");
    EXPECT_EQ(viewer->Window(), nullptr);
}

} // namespace
