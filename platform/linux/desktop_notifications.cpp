// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop_notifications.h"

#include "platform/notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// The application's name, and the name of its icon and its desktop entry.
const QString kApplication = QStringLiteral("Filocompte");
const QString kIcon = QStringLiteral("filocompte");
// Long enough to be read on return to the desk.
constexpr int kExpireMs = 15000;
// A service that does not answer by then is taken as absent.
constexpr int kAnswerTimeoutMs = 5000;

} // namespace

// The answers arrive on a child of the application object: they die with it, before the bus does,
// and with this.
struct DesktopNotifications::Receiver {
    ~Receiver() { delete object; }
    QPointer<QObject> object;
};

DesktopNotifications::DesktopNotifications() : receiver_(std::make_unique<Receiver>()) {}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::show(const std::string& summary, const std::string& body) {
    // Without an event loop no answer would ever come.
    if (QCoreApplication::instance() == nullptr) {
        showFallbackNotification(summary, body);
        return;
    }
    if (receiver_->object == nullptr) {
        receiver_->object = new QObject(QCoreApplication::instance());
        awaiting_ = false; // an answer awaited by a previous application object never comes
    }
    Texts texts{summary, body};
    if (awaiting_) {
        next_ = std::move(texts);
        return;
    }
    send(texts);
}

void DesktopNotifications::send(const Texts& texts) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showFallbackNotification(texts.summary, texts.body);
        return;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // The body may be read as markup by the service; our texts are plain.
    message.setArguments({kApplication, shownId_, kIcon, QString::fromStdString(texts.summary),
                          QString::fromStdString(texts.body).toHtmlEscaped(), QStringList(),
                          QVariantMap{{QStringLiteral("desktop-entry"), kIcon}}, kExpireMs});
    QObject* receiver = receiver_->object;
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(message, kAnswerTimeoutMs), receiver);
    awaiting_ = true;
    QObject::connect(call, &QDBusPendingCallWatcher::finished, receiver,
                     [this, texts](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         answered(*finished, texts);
                     });
}

void DesktopNotifications::answered(QDBusPendingCallWatcher& call, const Texts& texts) {
    awaiting_ = false;
    const QDBusPendingReply<uint> reply = call;
    if (reply.isError()) {
        showFallbackNotification(texts.summary, texts.body);
    } else {
        shownId_ = reply.value();
    }
    if (next_) {
        const Texts waiting = std::move(*next_);
        next_.reset();
        send(waiting);
    }
}

} // namespace platform
