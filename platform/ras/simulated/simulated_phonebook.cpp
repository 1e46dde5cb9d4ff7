#include "platform/error.h"
#include "platform/ras_simulated_phonebook.h"
#include "platform/special_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <iterator>

namespace platform::ras {
namespace {

QString statesText(const QList<Dword> &states)
{
    QStringList parts;
    for (Dword s : states)
        parts << QString::number(s);
    return parts.join(QLatin1Char(','));
}

QList<Dword> statesOf(const QString &text)
{
    QList<Dword> states;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint value = part.trimmed().toUInt(&ok);
        if (ok)
            states << value;
    }
    return states;
}

QString connectionsFile()
{
    return QFileInfo(simulatedPhonebookFile()).absolutePath() + QStringLiteral("/dialup-connections.ini");
}

// The phonebook holds passwords in clear, so its folder and files are the user's alone,
// whatever the umask: the folder 0700, each file made 0600 before the first byte goes in
// (QSettings keeps the permissions of the file it replaces).
void makePrivate(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    constexpr auto folderMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    constexpr auto fileMode = QFile::ReadOwner | QFile::WriteOwner;
    QDir().mkpath(QFileInfo(folder).absolutePath());
    QDir().mkdir(folder, folderMode);
    QFile file(path);
    if (!QFile::setPermissions(folder, folderMode) || !file.open(QIODevice::Append, fileMode)
        || !file.setPermissions(fileMode))
        throw Error(QStringLiteral("The dial-up file %1 could not be made private.").arg(path));
}

void syncOrThrow(QSettings &file)
{
    file.sync();
    if (file.status() != QSettings::NoError)
        throw Error(QStringLiteral("The dial-up file %1 could not be written.").arg(file.fileName()));
}

} // namespace

QList<Dword> defaultSimulatedStates()
{
    static const Dword states[] = {OpeningPort, PortOpened,   ConnectDevice, DeviceConnected,
                                   AllDevicesConnected, Authenticate, Authenticated, Projected};
    return QList<Dword>(std::begin(states), std::end(states));
}

QString simulatedPhonebookFile()
{
    const QString config = specialFolder(SpecialFolder::UserConfig);
    if (config.isEmpty())
        throw Error(QStringLiteral("The dial-up phonebook has no folder: neither XDG_CONFIG_HOME nor a home folder is known."));
    return config + QStringLiteral("tellvara/dialup-phonebook.ini");
}

QStringList simulatedEntryNames()
{
    QSettings file(simulatedPhonebookFile(), QSettings::IniFormat);
    return file.childGroups();
}

bool readSimulatedEntry(const QString &name, SimulatedEntry &entry)
{
    QSettings file(simulatedPhonebookFile(), QSettings::IniFormat);
    if (!file.childGroups().contains(name))
        return false;
    const SimulatedEntry defaults;
    file.beginGroup(name);
    entry.name = name;
    entry.phoneNumber = file.value(QStringLiteral("PhoneNumber")).toString();
    entry.userName = file.value(QStringLiteral("UserName")).toString();
    entry.password = file.value(QStringLiteral("Password")).toString();
    entry.states = file.contains(QStringLiteral("States")) ? statesOf(file.value(QStringLiteral("States")).toString())
                                                           : defaults.states;
    entry.stepDelayMs = qBound(0, file.value(QStringLiteral("StepDelayMs"), defaults.stepDelayMs).toInt(), 60000);
    entry.error = file.value(QStringLiteral("Error"), 0).toUInt();
    entry.clientIp = file.value(QStringLiteral("ClientIP"), defaults.clientIp).toString();
    entry.serverIp = file.value(QStringLiteral("ServerIP"), defaults.serverIp).toString();
    return true;
}

void writeSimulatedEntry(const SimulatedEntry &entry)
{
    const QString path = simulatedPhonebookFile();
    makePrivate(path);
    QSettings file(path, QSettings::IniFormat);
    file.remove(entry.name);
    file.beginGroup(entry.name);
    file.setValue(QStringLiteral("PhoneNumber"), entry.phoneNumber);
    file.setValue(QStringLiteral("UserName"), entry.userName);
    file.setValue(QStringLiteral("Password"), entry.password);
    file.setValue(QStringLiteral("States"), statesText(entry.states));
    file.setValue(QStringLiteral("StepDelayMs"), entry.stepDelayMs);
    file.setValue(QStringLiteral("Error"), entry.error);
    file.setValue(QStringLiteral("ClientIP"), entry.clientIp);
    file.setValue(QStringLiteral("ServerIP"), entry.serverIp);
    file.endGroup();
    syncOrThrow(file);
}

void removeSimulatedEntry(const QString &name)
{
    QSettings file(simulatedPhonebookFile(), QSettings::IniFormat);
    file.remove(name);
    syncOrThrow(file);
}

QStringList simulatedConnectionKeys()
{
    QSettings file(connectionsFile(), QSettings::IniFormat);
    return file.childGroups();
}

bool readSimulatedConnection(const QString &key, QString &entryName, qint64 &startedMs)
{
    QSettings file(connectionsFile(), QSettings::IniFormat);
    if (!file.childGroups().contains(key))
        return false;
    file.beginGroup(key);
    entryName = file.value(QStringLiteral("Entry")).toString();
    startedMs = file.value(QStringLiteral("Started")).toLongLong();
    return true;
}

void writeSimulatedConnection(const QString &key, const QString &entryName, qint64 startedMs)
{
    makePrivate(connectionsFile());
    QSettings file(connectionsFile(), QSettings::IniFormat);
    file.beginGroup(key);
    file.setValue(QStringLiteral("Entry"), entryName);
    file.setValue(QStringLiteral("Started"), startedMs);
    file.endGroup();
    syncOrThrow(file);
}

void removeSimulatedConnection(const QString &key)
{
    QSettings file(connectionsFile(), QSettings::IniFormat);
    file.remove(key);
    syncOrThrow(file);
}

} // namespace platform::ras
