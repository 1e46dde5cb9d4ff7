#include "platform/error.h"
#include "platform/ras_simulated_phonebook.h"
#include "platform/special_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

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

} // namespace

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
    QDir().mkpath(QFileInfo(path).absolutePath());
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
    file.sync();
    if (file.status() != QSettings::NoError)
        throw Error(QStringLiteral("The dial-up phonebook %1 could not be written.").arg(path));
}

void removeSimulatedEntry(const QString &name)
{
    QSettings file(simulatedPhonebookFile(), QSettings::IniFormat);
    file.remove(name);
    file.sync();
    if (file.status() != QSettings::NoError)
        throw Error(QStringLiteral("The dial-up phonebook %1 could not be written.").arg(file.fileName()));
}

} // namespace platform::ras
