// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window's own process (see HistoryProcess): it shows the window at the first facts on
// its standard input, reads the journal itself, and ends when the window closes or when its input
// ends, that is when the program ends.

#include "journal/history_messages.h"
#include "journal/journal.h"
#include "shell/history_module.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

class QSocketNotifier;

class HistoryViewer : public QObject {
    Q_OBJECT

public:
    // Reads the messages from input, a descriptor; make makes the window.
    HistoryViewer(HistoryWindowMaker make, int input);
    ~HistoryViewer() override;
    HistoryViewer(const HistoryViewer&) = delete;
    HistoryViewer& operator=(const HistoryViewer&) = delete;

    QWidget* Window() const { return window_; }

signals:
    // The window closed, or the input ended.
    void Ended();

private:
    void ReadInput();
    void Take(const HistoryMessage& message);

    HistoryWindowMaker make_;
    Journal journal_{QString::fromLatin1(kJournalFileName), JournalAccess::ReadOnly};
    int input_;
    QSocketNotifier* notifier_ = nullptr;
    QByteArray pending_; // the start of a line still to come
    CounterFacts facts_;
    QPointer<QWidget> window_;
    bool made_ = false; // the window comes once: closed, the process ends
};
