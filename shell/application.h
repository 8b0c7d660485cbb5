// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where the program's errors are caught: every event the application dispatches,
// and the few handlers run outside the event loop, go through Guard. A failure is shown in the
// standard error box and the program goes on.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs the handler and reports what it raises. A source (a timer, say) whose handler fails again
// with the same message is not reported again until it has once run through or failed otherwise,
// so a failure that repeats every second shows one box, not one a second.
// A template, so that the dispatch of every event pays for no std::function.
template <typename Handler> void Guard(Handler&& handler, const void* source = nullptr);

// Guard's two outcomes: the source ran through, or the handler raised the failure.
void RanThrough(const void* source);
void ReportFailure(const void* source, const std::exception& failure);

template <typename Handler> void Guard(Handler&& handler, const void* source) {
    try {
        handler();
        RanThrough(source);
    } catch (const std::exception& failure) {
        ReportFailure(source, failure);
    }
}

// Shows a failure's message; the standard error box unless a test puts something else.
void SetErrorPresenter(std::function<void(const QString&)> presenter);
