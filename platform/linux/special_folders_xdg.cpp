// Machine-wide folders below TELLVARA_ROOT, per-user ones from the XDG variables, and the
// system directory found where the C library itself was loaded from.
#include "platform/special_folders.h"

#include "platform/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <gnu/libc-version.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace platform {
namespace {

const QString SslLibrary = QStringLiteral("libssl.so.3");

// An absolute, clean folder ending in "/"; "" for an empty or relative text.
QString absoluteFolder(const QString &path)
{
    if (!QDir::isAbsolutePath(path))
        return {};
    return withTrailingSlash(QDir::cleanPath(path));
}

QString homeDirectory()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return QFile::decodeName(found->pw_dir);
}

// An XDG base folder: the variable when it holds an absolute path (the XDG rules say a
// relative value is to be ignored), else the fallback below the home directory.
QString xdgFolder(const char *variable, const QString &fallbackBelowHome)
{
    const QString xdg = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(xdg))
        return absoluteFolder(xdg);
    const QString home = homeDirectory();
    return home.isEmpty() ? QString() : absoluteFolder(home + fallbackBelowHome);
}

QString tempFolder()
{
    const QString tmp = qEnvironmentVariable("TMPDIR");
    return absoluteFolder(QDir::isAbsolutePath(tmp) ? tmp : QStringLiteral("/tmp"));
}

// The folder of the loaded C library: the system's own shared-library folder, whatever
// the distribution calls it (/usr/lib/x86_64-linux-gnu, /usr/lib64, /usr/lib ...).
// gnu_get_libc_version is asked because no sanitizer replaces it.
QString cLibraryFolder()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void *>(&gnu_get_libc_version), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).canonicalPath();
}

QString systemLibraryFolder()
{
    const QString chosen = qEnvironmentVariable("TELLVARA_SYSTEM_DIR");
    if (!chosen.isEmpty())
        return directoryExists(chosen) ? absoluteFolder(QFileInfo(chosen).absoluteFilePath()) : QString();
    const QString cLibrary = cLibraryFolder();
    const QStringList candidates{cLibrary, QStringLiteral("/usr/lib64"), QStringLiteral("/lib64"),
                                 QStringLiteral("/usr/lib"), QStringLiteral("/lib")};
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo::exists(candidate + u'/' + SslLibrary))
            return absoluteFolder(QFileInfo(candidate).canonicalFilePath());
    }
    // Without OpenSSL installed the C library's folder is still the system folder.
    return directoryExists(cLibrary) ? absoluteFolder(cLibrary) : QString();
}

QString belowSystemRoot(const QString &relative)
{
    const QString root = systemRoot();
    return root.isEmpty() ? QString() : root + relative;
}

} // namespace

QString systemRoot()
{
    QString root = qEnvironmentVariable("TELLVARA_ROOT");
    if (root.isEmpty())
        root = QStringLiteral("/");
    if (!QDir::isAbsolutePath(root)) {
        const QString current = currentDirectory();
        if (current.isEmpty())
            return {};
        root = current + root;
    }
    return directoryExists(root) ? absoluteFolder(root) : QString();
}

QString specialFolder(SpecialFolder folder)
{
    switch (folder) {
    case SpecialFolder::CommonFiles:
        return belowSystemRoot(QStringLiteral("var/lib/tellvara/common-files/"));
    case SpecialFolder::AppData:
        return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
    case SpecialFolder::UserConfig:
        return xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    case SpecialFolder::Windows:
        return belowSystemRoot(QStringLiteral("etc/"));
    case SpecialFolder::System:
        return systemLibraryFolder();
    case SpecialFolder::Temp:
        return tempFolder();
    }
    return {};
}

} // namespace platform
