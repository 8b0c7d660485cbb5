// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/picone_barre_tache.h"

#include "platform/failure.h"
#include "platform/x11_window.h"
#include "shell/x11_connection.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>

namespace {

// The room of the tray's tooltip.
constexpr qsizetype kHintLength = 63;
// As long as a desktop notification stays.
constexpr int kBalloonMs = 15000;

} // namespace

TPourHandle::TPourHandle(TPiconeBarreTache& component, QWidget* owner)
    : QWidget(owner), component_(component) {
    setFixedSize(0, 0);
}

void TPourHandle::WMTrayIcon(unsigned mouseMessage) {
    switch (mouseMessage) {
    case WM_RBUTTONDOWN: {
        // Where the pointer is now, not where it was pressed.
        const QPoint at = QCursor::pos();
        if (component_.menuPop_) {
            component_.menuPop_->popup(at);
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (component_.owner_) {
            component_.owner_->setVisible(true);
        }
        component_.ShowTaskbarEntry(true);
        break;
    default:
        break;
    }
}

TPiconeBarreTache::TPiconeBarreTache(QWidget* owner)
    : QObject(owner), owner_(owner), pourHandle_(new TPourHandle(*this, owner)) {
    SetIcone(QGuiApplication::windowIcon());
    // Both hooks stop with the component: the filter and the connection go when it is destroyed.
    owner->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &TPiconeBarreTache::ApplicationActivate);
    connect(&tray_, &QSystemTrayIcon::activated, this, &TPiconeBarreTache::TrayActivated);
}

// The icon leaves the tray with tray_.
TPiconeBarreTache::~TPiconeBarreTache() {
    if (owner_) {
        owner_->removeEventFilter(this);
    }
    delete pourHandle_.data();
}

void TPiconeBarreTache::SetPetiteIconeVisible(bool visible) {
    if (visible == petiteIconeVisible_) {
        return;
    }
    petiteIconeVisible_ = visible;
    if (loaded_) {
        tray_.setVisible(visible);
    }
}

void TPiconeBarreTache::SetGrandeIconeVisible(bool visible) {
    grandeIconeVisible_ = visible;
    ShowTaskbarEntry(visible);
}

// Before Loaded() the owner is still being set up and shows itself when it chooses.
void TPiconeBarreTache::SetApplicationCachee(bool hidden) {
    if (loaded_ && owner_) {
        owner_->setVisible(!hidden);
    }
}

// The tray keeps the picture while the icon is absent and shows it when the icon is added. The
// same picture again is not sent: the notification area would fetch and draw it anew.
void TPiconeBarreTache::SetIcone(const QIcon& icon) {
    icone_ = icon;
    const QIcon shown = icon.isNull() ? QGuiApplication::windowIcon() : icon;
    if (shown.cacheKey() != tray_.icon().cacheKey()) {
        tray_.setIcon(shown);
    }
}

void TPiconeBarreTache::SetHint(const QString& hint) {
    hint_ = hint;
    if (hint.size() > kHintLength) {
        throw platform::RangeError();
    }
    tray_.setToolTip(hint);
}

void TPiconeBarreTache::ShowBalloon(const QString& title, const QString& message) {
    tray_.showMessage(title, message, QSystemTrayIcon::Information, kBalloonMs);
}

void TPiconeBarreTache::Loaded() {
    loaded_ = true;
    if (petiteIconeVisible_) {
        tray_.show();
    }
}

// A window manager may drop the entry's state when the owner is unmapped or changes its state,
// and the toolkit rewrites it when the owner is mapped: the taskbar must be told again.
bool TPiconeBarreTache::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange) {
        taskbarEntry_.reset();
    }
    if (event->type() == QEvent::Close && reduireSiFin_) {
        FormClose(event);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// Runs the form's own close handling first, then keeps the form alive in the tray.
void TPiconeBarreTache::FormClose(QEvent* event) {
    static_cast<QObject*>(owner_.data())->event(event);
    ShowTaskbarEntry(false);
    owner_->hide();
    event->ignore();
}

// Becoming the active application must not bring the taskbar entry back.
void TPiconeBarreTache::ApplicationActivate(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive && !grandeIconeVisible_) {
        ShowTaskbarEntry(false);
    }
}

void TPiconeBarreTache::TrayActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Context:
        pourHandle_->WMTrayIcon(TPourHandle::WM_RBUTTONDOWN);
        break;
    case QSystemTrayIcon::Trigger:
        pourHandle_->WMTrayIcon(TPourHandle::WM_LBUTTONDOWN);
        break;
    default:
        break;
    }
}

// Only X11 has a taskbar state to set; elsewhere (the offscreen platform) the value is kept only.
void TPiconeBarreTache::ShowTaskbarEntry(bool shown) {
    if (taskbarEntry_ == shown) {
        return;
    }
    taskbarEntry_ = shown;
    void* connection = X11Connection();
    if (connection != nullptr && owner_ && owner_->isWindow()) {
        platform::x11::ShowInTaskbar(connection, static_cast<std::uint32_t>(owner_->winId()),
                                     shown);
    }
}
