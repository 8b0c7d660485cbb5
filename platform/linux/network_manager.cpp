// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/network_manager.h"

#include "platform/internet.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QHash>
#include <QThread>
#include <algorithm>
#include <optional>
#include <tuple>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManager = QStringLiteral("org.freedesktop.NetworkManager");
const QString kDevice = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettings = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnection = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kActive = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// NMMetered: 1 yes, 3 guess-yes.
bool isMetered(uint metered) {
    return metered == 1 || metered == 3;
}

// NMActiveConnectionState and the reasons of its end that are no failure: none, the user's.
constexpr uint kActivated = 2;
constexpr uint kDeactivated = 4;
constexpr uint kReasonUserDisconnected = 2;

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage getProperty(const QString& path, const QString& interface, const QString& name) {
    return call(path, kProperties, QStringLiteral("Get"), {interface, name});
}

bool answered(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

QVariant propertyValue(const QDBusMessage& reply) {
    return answered(reply) ? reply.arguments().at(0).value<QDBusVariant>().variant() : QVariant();
}

QList<QDBusObjectPath> paths(const QVariant& value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QList<QDBusObjectPath>>(value)
                                             : value.value<QList<QDBusObjectPath>>();
}

QString reasonOf(const QDBusMessage& reply) {
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

// NMActiveConnectionStateReason, in the words of the box.
QString endReason(uint reason) {
    switch (reason) {
    case 3:
        return QStringLiteral("le périphérique s'est déconnecté (carte SIM, code PIN, réseau)");
    case 6:
        return QStringLiteral("le délai de connexion est dépassé");
    case 9:
        return QStringLiteral("les secrets manquent (code PIN, mot de passe)");
    case 10:
        return QStringLiteral("l'identification a échoué");
    default:
        return QStringLiteral("raison %1 de NetworkManager").arg(reason);
    }
}

// A connection profile of a dialled kind, and what NetworkManager chooses by.
struct Profile {
    QString path;
    QString id;
    qulonglong timestamp = 0; // last use; 0 for never
    bool autoconnect = true;
    int priority = 0;
};

std::optional<Profile> dialledProfile(const QString& path, const QDBusMessage& reply) {
    if (!answered(reply)) {
        return std::nullopt;
    }
    const auto settings = qdbus_cast<QMap<QString, QVariantMap>>(reply.arguments().at(0));
    const QVariantMap connection = settings.value(QStringLiteral("connection"));
    const QString type = connection.value(QStringLiteral("type")).toString();
    const bool dialled =
        type == QLatin1String("gsm") || type == QLatin1String("cdma") ||
        type == QLatin1String("pppoe") ||
        (type == QLatin1String("bluetooth") &&
         settings.value(QStringLiteral("bluetooth")).value(QStringLiteral("type")).toString() ==
             QLatin1String("dun"));
    if (!dialled) {
        return std::nullopt;
    }
    return Profile{path, connection.value(QStringLiteral("id")).toString(),
                   connection.value(QStringLiteral("timestamp")).toULongLong(),
                   connection.value(QStringLiteral("autoconnect"), true).toBool(),
                   connection.value(QStringLiteral("autoconnect-priority")).toInt()};
}

// The most recently used profile; when none was ever used, the one NetworkManager would
// autoconnect first.
const Profile& choose(const QList<Profile>& profiles) {
    return *std::ranges::max_element(profiles, {}, [](const Profile& profile) {
        return std::tuple(profile.timestamp, profile.autoconnect, profile.priority);
    });
}

QString failureText(const QString& action, const QString& id, const QString& reason) {
    return QStringLiteral("NetworkManager n'a pas pu %1 la connexion « %2 » : %3")
        .arg(action, id, reason);
}

} // namespace

class NetworkManagerWorker : public QObject {
    Q_OBJECT
public:
    explicit NetworkManagerWorker(std::shared_ptr<NetworkManager::Shared> shared)
        : shared_(std::move(shared)),
          busName_(QStringLiteral("filocompte-nm-%1").arg(reinterpret_cast<quintptr>(this))) {}
    ~NetworkManagerWorker() override { QDBusConnection::disconnectFromBus(busName_); }

    void start();
    void dial(const std::function<void()>& otherwise);
    void hangUp(const std::function<void()>& otherwise);

private slots:
    void deviceAdded(const QDBusMessage& message);
    void deviceRemoved(const QDBusMessage& message);
    void propertiesChanged(const QDBusMessage& message);
    void activationStateChanged(const QDBusMessage& message);

private:
    struct Device {
        QString interface;
        QString ipInterface;
        uint metered = 0; // NMMetered
    };
    using Reply = std::function<void(const QDBusMessage&)>;
    using Replies = std::function<void(const QList<QDBusMessage>&)>;

    void ask(const QDBusMessage& message, Reply then);
    void askAll(const QList<QDBusMessage>& messages, Replies then);
    void ownerChanged(const QString& newOwner);
    void refresh();
    void readDevice(const QString& path, const QVariantMap& properties);
    void publish();
    void withDialledProfiles(const std::function<void(const QList<Profile>&)>& then);
    void activate(const Profile& profile);
    void deactivateActive(const QList<Profile>& profiles);

    std::shared_ptr<NetworkManager::Shared> shared_;
    QString busName_;
    QDBusConnection bus_{QString()};
    QHash<QString, Device> devices_;      // by object path
    QHash<QString, QString> activations_; // profile ids by active connection path
    std::uint64_t fetch_ = 0;             // replies to an earlier fetch are dropped
};

void NetworkManagerWorker::start() {
    const QByteArray address = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    bus_ = QDBusConnection::connectToBus(
        address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket")
                          : QString::fromUtf8(address),
        busName_);
    if (!bus_.isConnected()) {
        return; // no system bus: NetworkManager stays absent
    }
    auto* watcher =
        new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                ownerChanged(newOwner);
            });
    // Slots that take the message: QtDBus matches them whatever the arguments.
    bus_.connect(kService, kManagerPath, kManager, QStringLiteral("DeviceAdded"), this,
                 SLOT(deviceAdded(QDBusMessage)));
    bus_.connect(kService, kManagerPath, kManager, QStringLiteral("DeviceRemoved"), this,
                 SLOT(deviceRemoved(QDBusMessage)));
    bus_.connect(kService, QString(), kProperties, QStringLiteral("PropertiesChanged"), {kDevice},
                 QString(), this, SLOT(propertiesChanged(QDBusMessage)));
    // Every activation's, before any is asked for: a failure may follow the answer at once.
    bus_.connect(kService, QString(), kActive, QStringLiteral("StateChanged"), this,
                 SLOT(activationStateChanged(QDBusMessage)));
    refresh();
}

void NetworkManagerWorker::ask(const QDBusMessage& message, Reply then) {
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, then = std::move(then)] {
        watcher->deleteLater();
        then(watcher->reply());
    });
}

// The replies in the order of the messages, once all came.
void NetworkManagerWorker::askAll(const QList<QDBusMessage>& messages, Replies then) {
    if (messages.isEmpty()) {
        then({});
        return;
    }
    auto replies = std::make_shared<QList<QDBusMessage>>(messages.size());
    auto left = std::make_shared<qsizetype>(messages.size());
    for (qsizetype i = 0; i < messages.size(); ++i) {
        ask(messages[i], [replies, left, i, then](const QDBusMessage& reply) {
            (*replies)[i] = reply;
            if (--*left == 0) {
                then(*replies);
            }
        });
    }
}

// Started, stopped or replaced: the metered links last reported stay until the new one tells.
void NetworkManagerWorker::ownerChanged(const QString& newOwner) {
    ++fetch_;
    devices_.clear();
    activations_.clear();
    shared_->running = !newOwner.isEmpty();
    if (!newOwner.isEmpty()) {
        refresh();
    }
}

// Every device anew; the answer replaces what was published.
void NetworkManagerWorker::refresh() {
    const std::uint64_t fetch = ++fetch_;
    ask(getProperty(kManagerPath, kManager, QStringLiteral("Devices")),
        [this, fetch](const QDBusMessage& reply) {
            if (fetch != fetch_ || !answered(reply)) {
                return;
            }
            shared_->running = true;
            const QList<QDBusObjectPath> devices = paths(propertyValue(reply));
            QList<QDBusMessage> messages;
            for (const QDBusObjectPath& device : devices) {
                messages.append(
                    call(device.path(), kProperties, QStringLiteral("GetAll"), {kDevice}));
            }
            askAll(messages, [this, fetch, devices](const QList<QDBusMessage>& replies) {
                if (fetch != fetch_) {
                    return;
                }
                devices_.clear();
                for (qsizetype i = 0; i < replies.size(); ++i) {
                    if (answered(replies[i])) {
                        readDevice(devices[i].path(),
                                   qdbus_cast<QVariantMap>(replies[i].arguments().at(0)));
                    }
                }
                publish();
            });
        });
}

// Sets what the properties tell: all of them from GetAll, the changed ones from a signal.
void NetworkManagerWorker::readDevice(const QString& path, const QVariantMap& properties) {
    Device& device = devices_[path];
    for (auto [field, name] : {std::pair(&Device::interface, QStringLiteral("Interface")),
                               std::pair(&Device::ipInterface, QStringLiteral("IpInterface"))}) {
        if (properties.contains(name)) {
            device.*field = properties.value(name).toString();
        }
    }
    if (properties.contains(QStringLiteral("Metered"))) {
        device.metered = properties.value(QStringLiteral("Metered")).toUInt();
    }
}

void NetworkManagerWorker::publish() {
    std::vector<std::string> metered;
    for (const Device& device : std::as_const(devices_)) {
        // The link that carries its IP traffic: a modem's is not its control port's.
        const QString& name = device.ipInterface.isEmpty() ? device.interface : device.ipInterface;
        if (isMetered(device.metered) && !name.isEmpty()) {
            metered.push_back(name.toStdString());
        }
    }
    std::ranges::sort(metered);
    const std::lock_guard lock(shared_->mutex);
    if (metered != shared_->metered) {
        shared_->metered = std::move(metered);
        ++shared_->generation;
    }
}

void NetworkManagerWorker::deviceAdded(const QDBusMessage& message) {
    const auto path = message.arguments().value(0).value<QDBusObjectPath>();
    const std::uint64_t fetch = fetch_;
    ask(call(path.path(), kProperties, QStringLiteral("GetAll"), {kDevice}),
        [this, fetch, path](const QDBusMessage& reply) {
            if (fetch == fetch_ && answered(reply)) {
                readDevice(path.path(), qdbus_cast<QVariantMap>(reply.arguments().at(0)));
                publish();
            }
        });
}

void NetworkManagerWorker::deviceRemoved(const QDBusMessage& message) {
    devices_.remove(message.arguments().value(0).value<QDBusObjectPath>().path());
    publish();
}

// A device's name or metered state changed; a device not known yet comes with DeviceAdded.
void NetworkManagerWorker::propertiesChanged(const QDBusMessage& message) {
    if (!devices_.contains(message.path()) || message.arguments().size() < 2) {
        return;
    }
    readDevice(message.path(), qdbus_cast<QVariantMap>(message.arguments().at(1)));
    publish();
}

// The dialled profiles NetworkManager holds, or none when it does not answer.
void NetworkManagerWorker::withDialledProfiles(
    const std::function<void(const QList<Profile>&)>& then) {
    ask(call(kSettingsPath, kSettings, QStringLiteral("ListConnections")),
        [this, then](const QDBusMessage& reply) {
            const QList<QDBusObjectPath> connections =
                answered(reply) ? paths(reply.arguments().at(0)) : QList<QDBusObjectPath>();
            QList<QDBusMessage> messages;
            for (const QDBusObjectPath& connection : connections) {
                messages.append(
                    call(connection.path(), kConnection, QStringLiteral("GetSettings")));
            }
            askAll(messages, [connections, then](const QList<QDBusMessage>& replies) {
                QList<Profile> profiles;
                for (qsizetype i = 0; i < replies.size(); ++i) {
                    if (auto profile = dialledProfile(connections[i].path(), replies[i])) {
                        profiles.append(*profile);
                    }
                }
                then(profiles);
            });
        });
}

void NetworkManagerWorker::dial(const std::function<void()>& otherwise) {
    withDialledProfiles([this, otherwise](const QList<Profile>& profiles) {
        if (profiles.isEmpty()) {
            otherwise();
        } else {
            activate(choose(profiles));
        }
    });
}

// NetworkManager picks the device; a refusal comes as the error reply, a later failure (a wrong
// PIN) as the end of the activation.
void NetworkManagerWorker::activate(const Profile& profile) {
    const QDBusObjectPath none(QStringLiteral("/"));
    ask(call(kManagerPath, kManager, QStringLiteral("ActivateConnection"),
             {QVariant::fromValue(QDBusObjectPath(profile.path)), QVariant::fromValue(none),
              QVariant::fromValue(none)}),
        [this, id = profile.id](const QDBusMessage& reply) {
            if (answered(reply)) {
                activations_.insert(reply.arguments().at(0).value<QDBusObjectPath>().path(), id);
            } else {
                reportDialFailure(
                    failureText(QStringLiteral("établir"), id, reasonOf(reply)).toStdString());
            }
        });
}

void NetworkManagerWorker::activationStateChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    const auto found = activations_.find(message.path());
    if (found == activations_.end() || arguments.size() < 2) {
        return;
    }
    const uint state = arguments[0].toUInt();
    const uint reason = arguments[1].toUInt();
    if (state != kActivated && state != kDeactivated) {
        return;
    }
    if (state == kDeactivated && reason > kReasonUserDisconnected) {
        reportDialFailure(
            failureText(QStringLiteral("établir"), *found, endReason(reason)).toStdString());
    }
    activations_.erase(found);
}

void NetworkManagerWorker::hangUp(const std::function<void()>& otherwise) {
    withDialledProfiles([this, otherwise](const QList<Profile>& profiles) {
        if (profiles.isEmpty()) {
            otherwise();
        } else {
            deactivateActive(profiles);
        }
    });
}

// Deactivates each active connection of one of the profiles.
void NetworkManagerWorker::deactivateActive(const QList<Profile>& profiles) {
    ask(getProperty(kManagerPath, kManager, QStringLiteral("ActiveConnections")),
        [this, profiles](const QDBusMessage& reply) {
            const QList<QDBusObjectPath> active = paths(propertyValue(reply));
            QList<QDBusMessage> messages;
            for (const QDBusObjectPath& path : active) {
                messages.append(getProperty(path.path(), kActive, QStringLiteral("Connection")));
            }
            askAll(messages, [this, profiles, active](const QList<QDBusMessage>& replies) {
                for (qsizetype i = 0; i < replies.size(); ++i) {
                    const QString connection =
                        propertyValue(replies[i]).value<QDBusObjectPath>().path();
                    const auto profile = std::ranges::find(profiles, connection, &Profile::path);
                    if (profile == profiles.end()) {
                        continue;
                    }
                    ask(call(kManagerPath, kManager, QStringLiteral("DeactivateConnection"),
                             {QVariant::fromValue(active[i])}),
                        [id = profile->id](const QDBusMessage& answer) {
                            if (answer.type() == QDBusMessage::ErrorMessage) {
                                reportDialFailure(
                                    failureText(QStringLiteral("couper"), id, reasonOf(answer))
                                        .toStdString());
                            }
                        });
                }
            });
        });
}

NetworkManager::NetworkManager() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    thread_ = std::make_unique<QThread>();
    worker_ = new NetworkManagerWorker(shared_);
    worker_->moveToThread(thread_.get());
    QObject::connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
    thread_->start();
    QMetaObject::invokeMethod(worker_, &NetworkManagerWorker::start, Qt::QueuedConnection);
    // The bus library ends with the application object: the thread must end before.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, thread_.get(),
                     [this] { stop(); });
}

NetworkManager::~NetworkManager() {
    stop();
}

void NetworkManager::stop() {
    shared_->running = false;
    if (thread_ && thread_->isRunning()) {
        thread_->quit();
        thread_->wait();
    }
}

std::uint64_t NetworkManager::generation() const {
    return shared_->generation;
}

std::vector<std::string> NetworkManager::names() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->metered;
}

bool NetworkManager::dial(std::function<void()> otherwise) {
    if (!shared_->running) {
        return false;
    }
    QMetaObject::invokeMethod(worker_, [worker = worker_, otherwise] { worker->dial(otherwise); });
    return true;
}

bool NetworkManager::hangUp(std::function<void()> otherwise) {
    if (!shared_->running) {
        return false;
    }
    QMetaObject::invokeMethod(worker_,
                              [worker = worker_, otherwise] { worker->hangUp(otherwise); });
    return true;
}

} // namespace platform

#include "network_manager.moc"
