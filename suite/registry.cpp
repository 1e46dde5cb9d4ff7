// Reading and writing one string value; the store's rules are in platform/registry_store.h.
#include "suite/registry.h"

namespace suite {
namespace {

// 1024 characters and the terminating NUL, in bytes.
constexpr qsizetype ReadBufferBytes = (RegistryTextLimit + 1) * 2;

QString &lastError()
{
    static QString text;
    return text;
}

QString &lastWriteFailure()
{
    static QString text;
    return text;
}

bool withinLimits(const QString &keyPath, const QString &valueName)
{
    return keyPath.size() <= RegistryTextLimit && valueName.size() <= RegistryTextLimit;
}

// Machine keys are made writable by the store's group (every administrator account);
// when that fails, the failure is noted and the key tried once more plainly.
platform::RegistryStatus createKeyForWrite(RegistryRoot root, const QString &keyPath,
                                           std::unique_ptr<platform::RegistryKey> &key)
{
    platform::RegistryStore &store = platform::registryStore();
    const platform::KeyCreation creation = root == RegistryRoot::LocalMachine ? platform::KeyCreation::GroupWritable
                                                                             : platform::KeyCreation::Default;
    const platform::RegistryStatus status = store.createKey(root, keyPath, creation, key);
    if (status.ok())
        return status;
    lastError() = status.text().left(RegistryTextLimit);
    return store.createKey(root, keyPath, platform::KeyCreation::Default, key);
}

bool writeFailed(const QString &why)
{
    lastWriteFailure() = why;
    return false;
}

bool tooLong()
{
    return writeFailed(QStringLiteral("The key path, value name or text is longer than %1 characters.")
                           .arg(RegistryTextLimit));
}

bool openForWrite(RegistryRoot root, const QString &keyPath, std::unique_ptr<platform::RegistryKey> &key)
{
    if (keyPath.size() > RegistryTextLimit)
        return tooLong();
    const platform::RegistryStatus created = createKeyForWrite(root, keyPath, key);
    return created.ok() || writeFailed(created.text());
}

} // namespace

QString ReadRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName)
{
    if (!withinLimits(keyPath, valueName))
        return {};
    std::unique_ptr<platform::RegistryKey> key;
    if (!platform::registryStore().openKey(root, keyPath, platform::RegistryAccess::Read, key).ok())
        return {};
    QString text;
    if (!key->queryValue(valueName, ReadBufferBytes, text).ok())
        return {};
    return text;
}

bool WriteRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName, const QString &text)
{
    if (!withinLimits(keyPath, valueName) || text.size() > RegistryTextLimit)
        return tooLong();
    std::unique_ptr<platform::RegistryKey> key;
    if (!openForWrite(root, keyPath, key))
        return false;
    const platform::RegistryStatus stored = key->setValue(valueName, text);
    if (!stored.ok())
        return writeFailed(stored.text());
    lastWriteFailure().clear();
    return true;
}

bool PrepareRegistryKeyForWrite(RegistryRoot root, const QString &keyPath)
{
    std::unique_ptr<platform::RegistryKey> key;
    if (!openForWrite(root, keyPath, key))
        return false;
    lastWriteFailure().clear();
    return true;
}

QString LastRegistryError()
{
    return lastError();
}

QString LastRegistryWriteFailure()
{
    return lastWriteFailure();
}

} // namespace suite
