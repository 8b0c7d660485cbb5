// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_process.h"

#include "platform/failure.h"

#include <QCoreApplication>

namespace {

constexpr int kStartMs = 10000;
// The window ends at the end of its input; past this wait it is killed.
constexpr int kEndMs = 2000;

} // namespace

HistoryProcess::HistoryProcess(QObject* parent)
    : QObject(parent), command_{QCoreApplication::applicationFilePath(),
                                QStringLiteral("--historique")} {
    // What the window's process has to say goes where the program's own messages go.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
}

HistoryProcess::~HistoryProcess() {
    if (!Running()) {
        return;
    }
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kEndMs)) {
        process_.kill();
        process_.waitForFinished(kEndMs);
    }
}

void HistoryProcess::Show(const CounterFacts& facts) {
    if (Running()) {
        Update(facts);
        Send({HistoryMessage::Kind::Show, {}});
        return;
    }
    process_.start(command_.first(), command_.mid(1));
    if (!process_.waitForStarted(kStartMs)) {
        throw platform::Failure(
            QStringLiteral("L'historique des connexions ne peut pas être ouvert : %1")
                .arg(process_.errorString())
                .toStdString());
    }
    Update(facts);
}

void HistoryProcess::Update(const CounterFacts& facts) {
    Send({HistoryMessage::Kind::Facts, facts});
}

void HistoryProcess::JournalAdded() {
    Send({HistoryMessage::Kind::Added, {}});
}

void HistoryProcess::Send(const HistoryMessage& message) {
    if (Running()) {
        process_.write(MessageLine(message));
    }
}
