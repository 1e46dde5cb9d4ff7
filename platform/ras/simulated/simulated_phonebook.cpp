#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/folder_file.h"
#include "platform/ras/simulated/phonebook_ini_p.h"
#include "platform/ras_simulated_phonebook.h"
#include "platform/secret_file.h"
#include "platform/special_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <iterator>
#include <optional>

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
void makePrivateFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    constexpr auto folderMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QDir().mkpath(QFileInfo(folder).absolutePath());
    QDir().mkdir(folder, folderMode);
    if (!QFile::setPermissions(folder, folderMode))
        throw Error(QStringLiteral("The dial-up file %1 could not be made private.").arg(path));
}

void makePrivate(const QString &path)
{
    makePrivateFolder(path);
    constexpr auto fileMode = QFile::ReadOwner | QFile::WriteOwner;
    QFile file(path);
    if (!file.open(QIODevice::Append, fileMode) || !file.setPermissions(fileMode))
        throw Error(QStringLiteral("The dial-up file %1 could not be made private.").arg(path));
}

// Far more than any phonebook holds; a larger file is no phonebook of ours.
constexpr std::size_t PhonebookLimit = 4 * 1024 * 1024;
constexpr unsigned PhonebookMode = 0600;

SecretBuffer phonebookText()
{
    std::optional<SecretBuffer> text = readSecretFile(simulatedPhonebookFile(), PhonebookLimit);
    return text ? std::move(*text) : SecretBuffer();
}

bool hasEntry(std::string_view text, const QString &name)
{
    const QList<ini::Section> sections = ini::sections(text);
    return std::any_of(sections.cbegin(), sections.cend(), [&](const ini::Section &s) {
        return !s.topLevel && s.name == name;
    });
}

QString textValue(std::string_view text, const QString &section, std::string_view key, const QString &fallback = {})
{
    const std::optional<std::string_view> raw = ini::rawValue(text, section, key);
    return raw ? ini::valueText(*raw) : fallback;
}

SecretBuffer passwordValue(std::string_view text, const QString &section)
{
    SecretBuffer password;
    if (const std::optional<std::string_view> raw = ini::rawValue(text, section, "Password"))
        ini::unescapeValue(*raw, [&](char32_t c) { password.append(toAnsiCharacter(c)); });
    return password;
}

// The text without the sections of that entry.
SecretBuffer withoutEntry(std::string_view text, const QString &name)
{
    SecretBuffer kept;
    std::size_t copied = 0;
    for (const ini::Section &s : ini::sections(text)) {
        if (s.topLevel || s.name != name)
            continue;
        kept.append(text.data() + copied, s.begin - copied);
        copied = s.end;
    }
    kept.append(text.data() + copied, text.size() - copied);
    return kept;
}

void appendEntry(SecretBuffer &out, const SimulatedEntry &entry)
{
    if (out.size() > 0 && out.data()[out.size() - 1] != '\n')
        out.append('\n');
    ini::appendSectionHeader(out, entry.name);
    ini::appendKeyValue(out, "PhoneNumber", entry.phoneNumber);
    ini::appendKeyValue(out, "UserName", entry.userName);
    SecretText password;
    for (char byte : entry.password.view())
        password.append(fromAnsiCharacter(byte));
    ini::appendKeyValue(out, "Password", password.view());
    ini::appendKeyValue(out, "States", statesText(entry.states));
    ini::appendKeyValue(out, "StepDelayMs", QString::number(entry.stepDelayMs));
    ini::appendKeyValue(out, "Error", QString::number(entry.error));
    ini::appendKeyValue(out, "ClientIP", entry.clientIp);
    ini::appendKeyValue(out, "ServerIP", entry.serverIp);
    out.append('\n');
}

void savePhonebook(const SecretBuffer &text)
{
    const QString path = simulatedPhonebookFile();
    makePrivateFolder(path);
    // Raw data: the bytes go to the file from the wiped buffer, not through a copy.
    saveFileInFolder(path, QByteArray::fromRawData(text.data(), qsizetype(text.size())), PhonebookMode,
                     FileSaving::ReplaceExisting);
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
    const SecretBuffer text = phonebookText();
    QStringList names;
    for (const ini::Section &s : ini::sections(text.view())) {
        if (!s.topLevel && !names.contains(s.name))
            names << s.name;
    }
    names.sort();
    return names;
}

bool readSimulatedEntry(const QString &name, SimulatedEntry &entry, PasswordReading password)
{
    const SecretBuffer file = phonebookText();
    const std::string_view text = file.view();
    if (!hasEntry(text, name))
        return false;
    const QString &section = name;
    const SimulatedEntry defaults;
    entry.name = name;
    entry.phoneNumber = textValue(text, section, "PhoneNumber");
    entry.userName = textValue(text, section, "UserName");
    entry.password = password == PasswordReading::Read ? passwordValue(text, section) : SecretBuffer();
    const std::optional<std::string_view> states = ini::rawValue(text, section, "States");
    entry.states = states ? statesOf(ini::valueText(*states)) : defaults.states;
    entry.stepDelayMs = qBound(0, textValue(text, section, "StepDelayMs", QString::number(defaults.stepDelayMs)).toInt(), 60000);
    entry.error = textValue(text, section, "Error").toUInt();
    entry.clientIp = textValue(text, section, "ClientIP", defaults.clientIp);
    entry.serverIp = textValue(text, section, "ServerIP", defaults.serverIp);
    return true;
}

void writeSimulatedEntry(const SimulatedEntry &entry)
{
    SecretBuffer text = withoutEntry(phonebookText().view(), entry.name);
    appendEntry(text, entry);
    savePhonebook(text);
}

void removeSimulatedEntry(const QString &name)
{
    const SecretBuffer file = phonebookText();
    if (hasEntry(file.view(), name))
        savePhonebook(withoutEntry(file.view(), name));
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
