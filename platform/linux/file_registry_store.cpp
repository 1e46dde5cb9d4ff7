// The registry store as a file tree: machine keys under $TELLVARA_ROOT/etc/tellvara/registry,
// the user's under ${XDG_CONFIG_HOME:-$HOME/.config}/tellvara/registry. A key is a
// directory and a value a file (registry_names_p.h, registry_record_p.h). Each key is
// walked to from the root one directory at a time, never through a link.
#include "platform/linux/file_registry_key_p.h"
#include "platform/linux/registry_record_p.h"
#include "platform/special_folders.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString RegistryStatus::text() const
{
    if (systemCode == 0)
        return {};
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(systemCode, buffer, sizeof buffer));
}

namespace registry {
namespace {

// Read on every call: tests and trial runs move the roots through the environment.
// "" when the root's folder cannot be named (no system root, no home directory).
QString rootDirectory(RegistryRoot root)
{
    const QString base = root == RegistryRoot::LocalMachine ? systemRoot() + QStringLiteral("etc/")
                                                            : specialFolder(SpecialFolder::UserConfig);
    return base.startsWith(u'/') ? base + QStringLiteral("tellvara/registry") : QString();
}

// Keys the program creates: the user's store is private to the user; machine keys follow
// the umask unless the store's group is to write them.
mode_t keyDirectoryMode(RegistryRoot root)
{
    return root == RegistryRoot::CurrentUser ? 0700 : 0775;
}

// Set-group-id, so keys created below keep the store's group whoever creates them.
constexpr mode_t GroupWritableKeyMode = 02775;

// The folders on the way to a store that this program creates, and the store's root: the
// machine store is readable by every account and its root writable by the store's group
// (who may then create top-level keys); the user's store is the user's alone. Whatever
// the umask, as for keys.
mode_t chainFolderMode(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? 0700 : 0755; }
mode_t storeRootMode(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? 0700 : GroupWritableKeyMode; }

int makeFolder(const QByteArray &path, mode_t mode)
{
    if (mkdir(path.constData(), 0700) != 0)
        return errno == EEXIST ? 0 : errno;
    return chmod(path.constData(), mode) == 0 ? 0 : errno;
}

int makeDirectoryChain(const QByteArray &path, RegistryRoot root)
{
    for (qsizetype slash = path.indexOf('/', 1); slash >= 0; slash = path.indexOf('/', slash + 1)) {
        if (const int error = makeFolder(path.left(slash), chainFolderMode(root)))
            return error;
    }
    return makeFolder(path, storeRootMode(root));
}

int openRoot(RegistryRoot root, bool create, UniqueFd &dir)
{
    const QString directory = rootDirectory(root);
    if (directory.isEmpty())
        return ENOENT;
    const QByteArray path = QFile::encodeName(directory);
    dir = UniqueFd(open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir)
        return 0;
    if (errno != ENOENT || !create)
        return errno;
    if (const int error = makeDirectoryChain(path, root))
        return error;
    dir = UniqueFd(open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir ? 0 : errno;
}

// A new key gets its rights and its name file before its parent is flushed.
int initialiseKey(int parentFd, int keyFd, const QString &name, RegistryRoot root, KeyCreation creation)
{
    if (root == RegistryRoot::LocalMachine && creation == KeyCreation::GroupWritable && fchmod(keyFd, GroupWritableKeyMode) != 0)
        return errno;
    if (const int error = replaceFile(keyFd, KeyNameFile, encodeNameRecord(name), valueFileMode(root)))
        return error;
    return fsync(parentFd) == 0 ? 0 : errno;
}

int createKeyDirectory(int parentFd, const QString &name, RegistryRoot root, KeyCreation creation, UniqueFd &dir)
{
    const QByteArray entry = keyEntry(name);
    const bool created = mkdirat(parentFd, entry.constData(), keyDirectoryMode(root)) == 0;
    if (!created && errno != EEXIST) // EEXIST: another writer was quicker, or it is a file
        return errno;
    dir = openDirectory(parentFd, entry);
    if (!dir)
        return errno;
    return created ? initialiseKey(parentFd, dir.get(), name, root, creation) : 0;
}

int walkStepByStep(UniqueFd &dir, const QStringList &names, RegistryRoot root, const KeyCreation *creation)
{
    for (const QString &name : names) {
        UniqueFd next = openDirectory(dir.get(), keyEntry(name));
        if (!next && (errno != ENOENT || !creation))
            return errno;
        if (!next) {
            if (const int error = createKeyDirectory(dir.get(), name, root, *creation, next))
                return error;
        }
        dir = std::move(next);
    }
    return 0;
}

// Reads of existing keys are most of the work: one system call for the whole path when
// it can be had, else (keys to create, a path too long, an older kernel) step by step.
int walkToKey(UniqueFd &dir, const QStringList &names, RegistryRoot root, const KeyCreation *creation)
{
    if (names.isEmpty())
        return 0;
    QByteArray path;
    for (const QString &name : names)
        path += keyEntry(name) + '/';
    if (UniqueFd whole = openBeneath(dir.get(), path)) {
        dir = std::move(whole);
        return 0;
    }
    return walkStepByStep(dir, names, root, creation);
}

class FileRegistryStore final : public RegistryStore
{
public:
    RegistryStatus openKey(RegistryRoot root, const QString &path, RegistryAccess access,
                           std::unique_ptr<RegistryKey> &key) override
    {
        return open(root, path, access, nullptr, key);
    }

    RegistryStatus createKey(RegistryRoot root, const QString &path, KeyCreation creation,
                             std::unique_ptr<RegistryKey> &key) override
    {
        return open(root, path, RegistryAccess::Write, &creation, key);
    }

private:
    static RegistryStatus open(RegistryRoot root, const QString &path, RegistryAccess access,
                               const KeyCreation *creation, std::unique_ptr<RegistryKey> &key)
    {
        const std::optional<QStringList> names = splitKeyPath(path);
        if (!names)
            return statusOf(EINVAL);
        UniqueFd dir;
        if (const int error = openRoot(root, creation != nullptr, dir))
            return statusOf(error);
        if (const int error = walkToKey(dir, *names, root, creation))
            return statusOf(error);
        return makeKey(std::move(dir), root, access, key);
    }
};

} // namespace
} // namespace registry

RegistryStore &registryStore()
{
    static registry::FileRegistryStore store;
    return store;
}

} // namespace platform
