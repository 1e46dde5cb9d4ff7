// Per-installation settings: a user's copy that wins when it holds something, and the
// machine's copy shared by every account.
#include "suite/registry.h"

namespace suite {
namespace {

const QString SettingsRoot = QStringLiteral("SOFTWARE\\Tellvara\\");
const QString FailureNoteKey = QStringLiteral("SOFTWARE\\Tellvara\\ERROR_WRITING_TO_LOCAL_MACHINE");
const QString FailureNoteValue = QStringLiteral("ErrorMsg");

QString &installKey()
{
    static QString key;
    return key;
}

QString settingsKey(const QString &section)
{
    return SettingsRoot + installKey() + section;
}

// Blank as the suite has always trimmed: spaces and control characters only.
bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > u' ')
            return false;
    }
    return true;
}

} // namespace

QString ReadSuiteSetting(const QString &section, const QString &name)
{
    QString text = ReadRegistryString(RegistryRoot::CurrentUser, settingsKey(section), name);
    if (isBlank(text))
        text = ReadRegistryString(RegistryRoot::LocalMachine, settingsKey(section), name);
    return isBlank(text) ? QStringLiteral("ERROR") : text;
}

void WriteSuiteSetting(const QString &section, const QString &name, const QString &text)
{
    const bool userWritten = WriteRegistryString(RegistryRoot::CurrentUser, settingsKey(section), name, text);
    const bool machineWritten = WriteRegistryString(RegistryRoot::LocalMachine, settingsKey(section), name, text);
    if (userWritten && !machineWritten)
        WriteRegistryString(RegistryRoot::CurrentUser, FailureNoteKey, FailureNoteValue, LastRegistryError());
}

QString InstallKey()
{
    return installKey();
}

void SetInstallKey(const QString &key)
{
    installKey() = key.isEmpty() || key.endsWith(u'\\') ? key : key + u'\\';
}

} // namespace suite
