#pragma once
// The one place where the program's errors are caught: every event the application dispatches,
// and the few handlers run outside the event loop, go through Guard. A failure is shown in the
// standard error box and the program goes on.

#include <QApplication>
#include <QString>
#include <functional>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs the handler and reports what it raises. A source (a timer, say) whose handler fails again
// with the same message is not reported again until it has once run through or failed otherwise,
// so a failure that repeats every second shows one box, not one a second.
void Guard(const std::function<void()>& handler, const void* source = nullptr);

// Shows a failure's message; the standard error box unless a test puts something else.
void SetErrorPresenter(std::function<void(const QString&)> presenter);
