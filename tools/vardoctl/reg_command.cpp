// vardoctl reg: the program's own registry operations for administrators and scripts.
// Key paths keep their backslashes, so quote them in the shell.
#include "answer.h"
#include "command.h"

#include "platform/terminal_presenter.h"
#include "suite/dialogs.h"
#include "suite/registry.h"

#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral("vardoctl reg query ROOT KEY [VALUE]\n"
                                     "vardoctl reg add ROOT KEY VALUE DATA\n"
                                     "vardoctl reg delete ROOT KEY [--yes]\n"
                                     "  ROOT: HKLM, HKCU, HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER\n"
                                     "  delete of the root itself (KEY \"\" or \"\\\") asks first unless --yes");

std::optional<suite::RegistryRoot> rootNamed(const QString &name)
{
    const QString upper = name.toUpper();
    if (upper == u"HKLM" || upper == u"HKEY_LOCAL_MACHINE")
        return suite::RegistryRoot::LocalMachine;
    if (upper == u"HKCU" || upper == u"HKEY_CURRENT_USER")
        return suite::RegistryRoot::CurrentUser;
    return std::nullopt;
}

int query(suite::RegistryRoot root, const QStringList &args)
{
    if (args.size() != 1 && args.size() != 2)
        return usageError(Usage);
    const QString value = suite::ReadRegistryString(root, args.at(0), args.value(1));
    printAnswer(QJsonObject{{QStringLiteral("value"), value}}, [&] { return value + u'\n'; });
    return ExitOk;
}

int add(suite::RegistryRoot root, const QStringList &args)
{
    if (args.size() != 3)
        return usageError(Usage);
    if (suite::WriteRegistryString(root, args.at(0), args.at(1), args.at(2)))
        return ExitOk;
    // A refused key creation is what the program itself reports; anything else (the value
    // store, the length limits) has its own reason.
    const QString reason = suite::LastRegistryError();
    err() << (reason.isEmpty() ? suite::LastRegistryWriteFailure() : reason) << '\n';
    return ExitFailed;
}

bool keyExists(suite::RegistryRoot root, const QString &keyPath)
{
    std::unique_ptr<platform::RegistryKey> key;
    return platform::registryStore().openKey(root, keyPath, platform::RegistryAccess::Read, key).ok();
}

QStringView withoutTrailingBackslash(const QString &keyPath)
{
    QStringView path(keyPath);
    if (path.endsWith(u'\\'))
        path.chop(1);
    return path;
}

// Deleting the root empties the whole store of that root: too much for one mistyped quote.
bool rootDeletionConfirmed(const QString &rootName)
{
    const platform::TerminalPresenter terminal;
    return suite::AskYesNo(QStringLiteral("Empty the whole %1 store, every key and value in it?").arg(rootName)) == 6;
}

// The program deletes silently; a script must learn when a key stayed. A key directly
// under the root is only emptied, by design, and so is not a failure.
int remove(suite::RegistryRoot root, const QString &rootName, const QStringList &args)
{
    const bool confirmed = args.size() == 2 && args.at(1) == QLatin1String("--yes");
    if (args.size() != 1 && !confirmed)
        return usageError(Usage);
    const QString keyPath = args.at(0);
    const QStringView path = withoutTrailingBackslash(keyPath);
    if (path.isEmpty() && !confirmed && !rootDeletionConfirmed(rootName)) {
        err() << "Nothing deleted.\n";
        return ExitFailed;
    }
    suite::DeleteRegistryKey(root, keyPath);
    if (path.contains(u'\\') && keyExists(root, keyPath)) {
        err() << "The key was not deleted completely: it holds something this account may not "
                 "delete, or files that are not the store's.\n";
        return ExitFailed;
    }
    return ExitOk;
}

int runReg(const QStringList &args)
{
    if (args.size() < 2)
        return usageError(Usage);
    const std::optional<suite::RegistryRoot> root = rootNamed(args.at(1));
    if (!root)
        return usageError(Usage);
    const QString operation = args.at(0);
    const QStringList rest = args.mid(2);
    if (operation == u"query")
        return query(*root, rest);
    if (operation == u"add")
        return add(*root, rest);
    if (operation == u"delete")
        return remove(*root, args.at(1), rest);
    return usageError(Usage);
}

const CommandRegistration registration{{QStringLiteral("reg"), Usage, runReg}};

} // namespace
} // namespace vardoctl
