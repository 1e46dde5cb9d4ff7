#include "platform/ras/networkmanager/nm_backend.h"

#include "platform/codepage.h"
#include "platform/dbus/session_bus.h"
#include "platform/ras/entry_dialog.h"
#include "platform/ras/networkmanager/nm_names.h"
#include "platform/ras/networkmanager/nm_state_map.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUuid>

namespace platform::ras {
namespace {

using namespace nm;

constexpr int CallTimeoutMs = 10000;

const QString Connection = QStringLiteral("connection");

// One place maps bus errors onto RAS errors.
Dword errorOf(const QDBusMessage &reply)
{
    const QString name = reply.errorName();
    if (name == QLatin1String(UnknownConnectionError))
        return ErrorCannotFindPhonebookEntry;
    if (name == QLatin1String(PermissionDeniedError))
        return ErrorAccessDenied;
    if (name == QLatin1String(UnknownDeviceError))
        return ErrorPortNotAvailable; // no modem that can carry the connection
    if (name == QLatin1String(AlreadyActiveError))
        return ErrorPortAlreadyOpen;
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || name == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        || name == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
        return ErrorServiceUnavailable;
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject")
        || name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        return ErrorInvalidHandle;
    return ErrorUnknown;
}

QDBusMessage call(const QDBusConnection &bus, const QString &path, const char *interface, const QString &method,
                  const QVariantList &args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(Service), path, QLatin1String(interface), method);
    message.setArguments(args);
    return bus.call(message, QDBus::Block, CallTimeoutMs);
}

// A property's value; invalid when it cannot be read (the object is gone).
QVariant property(const QDBusConnection &bus, const QString &path, const char *interface, const char *name)
{
    const QDBusMessage reply = call(bus, path, PropertiesInterface, QStringLiteral("Get"),
                                    {QLatin1String(interface), QLatin1String(name)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
}

QString pathProperty(const QDBusConnection &bus, const QString &path, const char *interface, const char *name)
{
    return qvariant_cast<QDBusObjectPath>(property(bus, path, interface, name)).path();
}

QList<QDBusObjectPath> pathsOf(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    return value.value<QList<QDBusObjectPath>>();
}

struct DeviceStatus
{
    unsigned state = 0;
    unsigned reason = 0;
};

DeviceStatus deviceStateOf(const QDBusConnection &bus, const QString &device)
{
    DeviceStatus d;
    d.state = property(bus, device, DeviceInterface, "State").toUInt();
    const QVariant reason = property(bus, device, DeviceInterface, "StateReason");
    if (reason.canConvert<QDBusArgument>()) {
        const QDBusArgument arg = reason.value<QDBusArgument>();
        arg.beginStructure();
        arg >> d.state >> d.reason;
        arg.endStructure();
    }
    return d;
}

QString typeOf(const NmSettings &settings)
{
    return settings.value(Connection).value(QStringLiteral("type")).toString();
}

bool isPointToPoint(const NmSettings &settings)
{
    const QString type = typeOf(settings);
    if (type == QLatin1String("bluetooth"))
        return settings.value(QStringLiteral("bluetooth")).value(QStringLiteral("type")).toString()
               == QLatin1String("dun");
    return type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe")
           || type == QLatin1String("vpn");
}

// The setting that holds the user name and password of a connection of this kind.
QString credentialSetting(const NmSettings &settings)
{
    const QString type = typeOf(settings);
    if (type == QLatin1String("bluetooth"))
        return settings.contains(QStringLiteral("cdma")) ? QStringLiteral("cdma") : QStringLiteral("gsm");
    return type;
}

bool isVpn(const NmSettings &settings)
{
    return typeOf(settings) == QLatin1String("vpn");
}

QString userKey(const NmSettings &settings)
{
    return isVpn(settings) ? QStringLiteral("user-name") : QStringLiteral("username");
}

QString deviceTypeOf(const NmSettings &settings)
{
    const QString type = typeOf(settings);
    if (type == QLatin1String("pppoe"))
        return QStringLiteral("PPPoE");
    if (type == QLatin1String("vpn"))
        return QStringLiteral("vpn");
    return QStringLiteral("modem");
}

QString idOf(const NmSettings &settings)
{
    return settings.value(Connection).value(QStringLiteral("id")).toString();
}

NmSettings settingsOf(const QDBusMessage &reply)
{
    return qdbus_cast<NmSettings>(reply.arguments().first());
}

// A dictionary of texts: a VPN's secrets come as a{ss}, other settings as a{sv}; any
// other shape reads as empty rather than being taken apart as the wrong type.
QVariantMap stringMap(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return value.toMap();
    const QDBusArgument arg = value.value<QDBusArgument>();
    const QString signature = arg.currentSignature();
    if (signature == QLatin1String("a{sv}"))
        return qdbus_cast<QVariantMap>(arg);
    QVariantMap map;
    if (signature == QLatin1String("a{ss}")) {
        const auto texts = qdbus_cast<QMap<QString, QString>>(arg);
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            map.insert(it.key(), it.value());
    }
    return map;
}

// Looked up at each use: the environment may name another bus, and a bus that went away
// is reached anew when it is back.
QDBusConnection systemBus()
{
    return dbus::connectToBus(dbus::systemBusAddress(), QStringLiteral("vardo-networkmanager"));
}

} // namespace

NetworkManagerBackend::NetworkManagerBackend()
{
    qDBusRegisterMetaType<NmSettings>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<QMap<QString, QString>>();
}

Dword NetworkManagerBackend::available() const
{
    const QDBusConnection bus = systemBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(QLatin1String(Service)))
        return ErrorServiceUnavailable;
    return Success;
}

QList<NetworkManagerBackend::Entry> NetworkManagerBackend::entries(Dword &error) const
{
    const QDBusConnection bus = systemBus();
    QList<Entry> found;
    if ((error = available()) != Success)
        return found;
    const QDBusMessage list = call(bus, QLatin1String(SettingsPath), SettingsInterface, QStringLiteral("ListConnections"));
    if (list.type() != QDBusMessage::ReplyMessage) {
        error = errorOf(list);
        return found;
    }
    for (const QDBusObjectPath &path : pathsOf(list.arguments().first())) {
        const QDBusMessage reply = call(bus, path.path(), ConnectionInterface, QStringLiteral("GetSettings"));
        if (reply.type() != QDBusMessage::ReplyMessage)
            continue; // removed meanwhile
        const NmSettings settings = settingsOf(reply);
        if (isPointToPoint(settings))
            found << Entry{path.path(), settings};
    }
    return found;
}

Dword NetworkManagerBackend::findEntry(const QString &name, Entry &entry) const
{
    Dword error = Success;
    const QList<Entry> all = entries(error);
    for (const Entry &e : all) {
        if (idOf(e.settings) == name) {
            entry = e;
            return Success;
        }
    }
    return error != Success ? error : ErrorCannotFindPhonebookEntry;
}

Dword NetworkManagerBackend::listEntries(QStringList &names)
{
    Dword error = Success;
    for (const Entry &e : entries(error))
        names << idOf(e.settings);
    return error;
}

// The secret arrives as text in the reply (the bus library's own buffers are out of our
// reach); it leaves for a wiped buffer at once and the text is wiped.
Dword NetworkManagerBackend::secretsOf(const Entry &entry, SecretBuffer &password) const
{
    const QString setting = credentialSetting(entry.settings);
    const QDBusMessage reply = call(systemBus(), entry.path, ConnectionInterface, QStringLiteral("GetSecrets"), {setting});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return errorOf(reply);
    const QVariantMap secrets = settingsOf(reply).value(setting);
    QString text = isVpn(entry.settings) ? stringMap(secrets.value(QStringLiteral("secrets"))).value(QStringLiteral("password")).toString()
                                         : secrets.value(QStringLiteral("password")).toString();
    password = toAnsiSecret(text);
    wipeString(text);
    return Success;
}

Dword NetworkManagerBackend::readDialParams(DialParams &params, bool &hasPassword)
{
    Entry entry;
    if (const Dword error = findEntry(params.entryName, entry); error != Success)
        return error;
    const QVariantMap credentials = entry.settings.value(credentialSetting(entry.settings));
    params.phoneNumber = credentials.value(QStringLiteral("number")).toString();
    params.userName = credentials.value(userKey(entry.settings)).toString();
    // Secrets kept by a user's agent may be out of reach; the entry then has no password.
    if (secretsOf(entry, params.password) != Success)
        params.password.clear();
    hasPassword = !params.password.isEmpty();
    return Success;
}

Dword NetworkManagerBackend::update(const QString &path, const NmSettings &settings) const
{
    const QDBusMessage reply = call(systemBus(), path, ConnectionInterface, QStringLiteral("Update"),
                                    {QVariant::fromValue(settings)});
    return reply.type() == QDBusMessage::ReplyMessage ? Success : errorOf(reply);
}

Dword NetworkManagerBackend::writeDialParams(const DialParams &params, bool removePassword)
{
    Entry entry;
    if (const Dword error = findEntry(params.entryName, entry); error != Success)
        return error;
    const QString setting = credentialSetting(entry.settings);
    QVariantMap &credentials = entry.settings[setting];
    // The bus takes the secret as text: one string, wiped once the call has marshalled it.
    QString password = removePassword ? QString() : fromAnsi(params.password.data(), qsizetype(params.password.size()));
    const auto forget = qScopeGuard([&] { wipeString(password); });
    if (!removePassword)
        credentials.insert(userKey(entry.settings), params.userName);
    if (isVpn(entry.settings))
        credentials.insert(QStringLiteral("secrets"), QVariant::fromValue(QMap<QString, QString>{{QStringLiteral("password"), password}}));
    else
        credentials.insert(QStringLiteral("password"), password);
    return update(entry.path, entry.settings);
}

Dword NetworkManagerBackend::renameEntry(const QString &from, const QString &to)
{
    Entry entry;
    if (const Dword error = findEntry(from, entry); error != Success)
        return error;
    Entry other;
    if (from != to && findEntry(to, other) == Success)
        return ErrorAlreadyExists;
    entry.settings[Connection].insert(QStringLiteral("id"), to);
    return update(entry.path, entry.settings);
}

Dword NetworkManagerBackend::deleteEntry(const QString &name)
{
    Entry entry;
    if (const Dword error = findEntry(name, entry); error != Success)
        return error;
    const QDBusMessage reply = call(systemBus(), entry.path, ConnectionInterface, QStringLiteral("Delete"));
    return reply.type() == QDBusMessage::ReplyMessage ? Success : errorOf(reply);
}

Dword NetworkManagerBackend::editEntry(std::uintptr_t window, const QString &name)
{
    Entry entry;
    if (!name.isEmpty()) {
        if (const Dword error = findEntry(name, entry); error != Success)
            return error;
    } else if (const Dword error = available(); error != Success) {
        return error;
    }
    const QString editor = QStandardPaths::findExecutable(QStringLiteral("nm-connection-editor"));
    if (editor.isEmpty())
        return name.isEmpty() ? createWithDialog(window) : editWithDialog(window, entry);
    const QStringList args = name.isEmpty()
                                 ? QStringList{QStringLiteral("--create")}
                                 : QStringList{QStringLiteral("--edit"),
                                               entry.settings.value(Connection).value(QStringLiteral("uuid")).toString()};
    return QProcess::execute(editor, args) == 0 ? Success : ErrorCancelled;
}

Dword NetworkManagerBackend::createWithDialog(std::uintptr_t window)
{
    EntryFields fields;
    if (const Dword result = runEntryDialog(window, fields); result != Success)
        return result;
    Entry existing;
    if (findEntry(fields.name, existing) == Success)
        return ErrorAlreadyExists;
    NmSettings settings;
    settings[Connection] = {{QStringLiteral("id"), fields.name},
                            {QStringLiteral("type"), QStringLiteral("gsm")},
                            {QStringLiteral("uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                            {QStringLiteral("autoconnect"), false}};
    settings[QStringLiteral("gsm")] = {{QStringLiteral("number"), fields.phoneNumber},
                                       {QStringLiteral("username"), fields.userName},
                                       {QStringLiteral("password"), fields.password}};
    const QDBusMessage reply = call(systemBus(), QLatin1String(SettingsPath), SettingsInterface,
                                    QStringLiteral("AddConnection"), {QVariant::fromValue(settings)});
    return reply.type() == QDBusMessage::ReplyMessage ? Success : errorOf(reply);
}

Dword NetworkManagerBackend::editWithDialog(std::uintptr_t window, Entry &entry)
{
    DialParams params;
    params.entryName = idOf(entry.settings);
    bool hasPassword = false;
    if (const Dword error = readDialParams(params, hasPassword); error != Success)
        return error;
    // The dialog's edit field holds the password as text whatever is done here.
    EntryFields fields{params.entryName, params.phoneNumber, params.userName,
                       fromAnsi(params.password.data(), qsizetype(params.password.size()))};
    const auto forget = qScopeGuard([&] { wipeString(fields.password); });
    if (const Dword result = runEntryDialog(window, fields); result != Success)
        return result;
    const QString setting = credentialSetting(entry.settings);
    entry.settings[Connection].insert(QStringLiteral("id"), fields.name);
    entry.settings[setting].insert(userKey(entry.settings), fields.userName);
    if (!isVpn(entry.settings)) {
        entry.settings[setting].insert(QStringLiteral("number"), fields.phoneNumber);
        entry.settings[setting].insert(QStringLiteral("password"), fields.password);
    }
    return update(entry.path, entry.settings);
}

Dword NetworkManagerBackend::startDial(const DialParams &params, QString &key)
{
    Entry entry;
    if (const Dword error = findEntry(params.entryName, entry); error != Success)
        return error;
    // "/" for device and specific object: NetworkManager picks the device itself.
    const QDBusMessage reply = call(systemBus(), QLatin1String(ManagerPath), ManagerInterface,
                                    QStringLiteral("ActivateConnection"),
                                    {QVariant::fromValue(QDBusObjectPath(entry.path)),
                                     QVariant::fromValue(QDBusObjectPath(NoObject)),
                                     QVariant::fromValue(QDBusObjectPath(NoObject))});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return errorOf(reply);
    key = qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
    std::lock_guard lock(m_mutex);
    m_trackers.insert(key, Tracker{});
    return Success;
}

void NetworkManagerBackend::observe(const QString &key, Tracker &tracker, DialProgress &p) const
{
    const QDBusConnection bus = systemBus();
    const QVariant state = property(bus, key, ActiveInterface, "State");
    const QList<QDBusObjectPath> devices = pathsOf(property(bus, key, ActiveInterface, "Devices"));
    DeviceStatus device;
    if (!devices.isEmpty()) {
        device = deviceStateOf(bus, devices.first().path());
        tracker.lastReason = device.reason != 0 ? device.reason : tracker.lastReason;
    }
    const unsigned active = state.isValid() ? state.toUInt() : unsigned(Deactivated);
    p.gone = !state.isValid();
    if (active == Activated) {
        tracker.passed = dialSequence().size();
        tracker.finished = true;
    } else if (active == Activating) {
        // The device may be connected long before the connection is (a VPN on its parent
        // device, a modem still taking its address): Connected waits for the connection.
        const qsizetype beforeConnected = dialSequence().size() - 1;
        tracker.passed = qMax(tracker.passed, qBound<qsizetype>(1, statesPassedByDevice(device.state), beforeConnected));
    }
    const bool failed = device.state == DeviceFailed || (active >= Deactivating && !tracker.finished);
    if (failed && !tracker.finished) {
        tracker.finished = true;
        tracker.error = tracker.lastReason != 0 ? errorForDeviceReason(tracker.lastReason) : ErrorRemoteDisconnection;
    }
    if (tracker.finished && tracker.error == Success && active >= Deactivating)
        p.gone = true;
}

DialProgress NetworkManagerBackend::progress(const QString &key)
{
    DialProgress p;
    if (available() != Success) {
        p.gone = true;
        p.error = ErrorServiceUnavailable;
        return p;
    }
    std::lock_guard lock(m_mutex);
    Tracker &tracker = m_trackers[key];
    observe(key, tracker, p);
    p.states = dialSequence().mid(0, tracker.passed);
    p.error = tracker.error;
    p.finished = tracker.finished;
    return p;
}

Dword NetworkManagerBackend::hangUp(const QString &key)
{
    {
        std::lock_guard lock(m_mutex);
        m_trackers.remove(key);
    }
    if (const Dword error = available(); error != Success)
        return error;
    const QDBusMessage reply = call(systemBus(), QLatin1String(ManagerPath), ManagerInterface,
                                    QStringLiteral("DeactivateConnection"), {QVariant::fromValue(QDBusObjectPath(key))});
    if (reply.type() == QDBusMessage::ReplyMessage || reply.errorName() == QLatin1String(ConnectionNotActiveError))
        return Success;
    // A connection that ended by itself is hung up already.
    const Dword error = errorOf(reply);
    return error == ErrorInvalidHandle ? Success : error;
}

Dword NetworkManagerBackend::listConnections(QList<ConnectionInfo> &connections)
{
    const QDBusConnection bus = systemBus();
    connections.clear();
    if (const Dword error = available(); error != Success)
        return error;
    const QList<QDBusObjectPath> active = pathsOf(property(bus, QLatin1String(ManagerPath), ManagerInterface,
                                                           "ActiveConnections"));
    for (const QDBusObjectPath &path : active) {
        const QString settingsPath = pathProperty(bus, path.path(), ActiveInterface, "Connection");
        const QDBusMessage reply = call(bus, settingsPath, ConnectionInterface, QStringLiteral("GetSettings"));
        if (reply.type() != QDBusMessage::ReplyMessage)
            continue;
        const NmSettings settings = settingsOf(reply);
        if (!isPointToPoint(settings))
            continue;
        const QList<QDBusObjectPath> devices = pathsOf(property(bus, path.path(), ActiveInterface, "Devices"));
        const QString deviceName = devices.isEmpty()
                                       ? QString()
                                       : property(bus, devices.first().path(), DeviceInterface, "Interface").toString();
        connections << ConnectionInfo{path.path(), idOf(settings), deviceTypeOf(settings), deviceName};
    }
    return Success;
}

Dword NetworkManagerBackend::addresses(const QString &key, QString &client, QString &server)
{
    const QDBusConnection bus = systemBus();
    if (const Dword error = available(); error != Success)
        return error;
    const QVariant state = property(bus, key, ActiveInterface, "State");
    if (!state.isValid())
        return ErrorInvalidHandle;
    const QString config = pathProperty(bus, key, ActiveInterface, "Ip4Config");
    if (state.toUInt() != Activated || config.isEmpty() || config == QLatin1String(NoObject))
        return ErrorProjectionNotComplete;
    const QVariant data = property(bus, config, Ip4ConfigInterface, "AddressData");
    const QList<QVariantMap> addresses = data.canConvert<QDBusArgument>()
                                             ? qdbus_cast<QList<QVariantMap>>(data.value<QDBusArgument>())
                                             : QList<QVariantMap>{};
    if (addresses.isEmpty())
        return ErrorProjectionNotComplete;
    client = addresses.first().value(QStringLiteral("address")).toString();
    // A point-to-point address names its peer; otherwise the gateway is the server.
    server = addresses.first().value(QStringLiteral("peer")).toString();
    if (server.isEmpty())
        server = property(bus, config, Ip4ConfigInterface, "Gateway").toString();
    return Success;
}

} // namespace platform::ras
