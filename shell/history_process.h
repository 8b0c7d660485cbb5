// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window runs in a process of its own (the program with --historique), started at its
// opening and ended with its closing: its chart library, SQLite and their memory go with it, while
// the strip runs all day. The program tells it the counter's facts each second and when the
// journal took rows; the window reads the journal itself.

#include "journal/history_messages.h"

#include <QObject>
#include <QProcess>
#include <QStringList>

class HistoryProcess : public QObject {
    Q_OBJECT

public:
    explicit HistoryProcess(QObject* parent = nullptr);
    // Ends the window's process with the program.
    ~HistoryProcess() override;
    HistoryProcess(const HistoryProcess&) = delete;
    HistoryProcess& operator=(const HistoryProcess&) = delete;

    // The command that shows the window; by default this program with --historique.
    void SetCommand(QStringList command) { command_ = std::move(command); }
    // Starts the window's process, or brings its window to the front; throws platform::Failure
    // when it cannot be started.
    void Show(const CounterFacts& facts);
    // While the window is open: the counter's facts, and that the journal took rows.
    void Update(const CounterFacts& facts);
    void JournalAdded();
    bool Running() const { return process_.state() != QProcess::NotRunning; }

private:
    void Send(const HistoryMessage& message);

    QStringList command_;
    QProcess process_;
};
