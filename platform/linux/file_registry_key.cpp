#include "platform/linux/file_registry_key_p.h"

#include "platform/linux/registry_record_p.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform::registry {
namespace {

constexpr qsizetype ValueSuffixLength = sizeof ValueSuffix - 1;

std::optional<Record> readRecord(int dirFd, const QByteArray &entry)
{
    QByteArray file;
    if (readFile(dirFd, entry, MaxRecordSize, file) != 0)
        return std::nullopt;
    return decodeRecord(file);
}

// A sub-key can only be removed with what the store itself keeps in it.
int removeKeyContents(int keyFd)
{
    std::vector<Entry> entries;
    if (const int error = listEntries(keyFd, entries))
        return error;
    for (const Entry &e : entries) {
        if (e.kind == EntryKind::Key || e.kind == EntryKind::Foreign)
            return ENOTEMPTY;
    }
    // The name file goes last, so a key half removed still shows its name.
    for (const Entry &e : entries) {
        if (e.name != KeyNameFile && unlinkat(keyFd, e.name.constData(), 0) != 0)
            return errno;
    }
    if (unlinkat(keyFd, KeyNameFile, 0) != 0 && errno != ENOENT)
        return errno;
    return 0;
}

} // namespace

mode_t valueFileMode(RegistryRoot root)
{
    return root == RegistryRoot::LocalMachine ? 0664 : 0600;
}

std::optional<QString> keyName(int keyFd, const QByteArray &entry)
{
    const std::optional<Record> record = readRecord(keyFd, KeyNameFile);
    // A name file copied along with its directory names another key: not this one's name.
    if (record && !record->name.isEmpty() && keyEntry(record->name) == entry)
        return record->name;
    const std::optional<QString> name = nameFromEntry(entry);
    if (!name || name->isEmpty())
        return std::nullopt;
    return name;
}

RegistryStatus makeKey(UniqueFd dir, RegistryRoot root, RegistryAccess access, std::unique_ptr<RegistryKey> &key)
{
    if (access == RegistryAccess::Write) {
        if (const int error = mayChange(dir.get()))
            return statusOf(error);
    }
    key = std::make_unique<FileRegistryKey>(std::move(dir), root, access);
    return {};
}

FileRegistryKey::FileRegistryKey(UniqueFd dir, RegistryRoot root, RegistryAccess access)
    : m_dir(std::move(dir))
    , m_root(root)
    , m_access(access)
{
}

RegistryStatus FileRegistryKey::requireWrite() const
{
    return m_access == RegistryAccess::Write ? RegistryStatus() : statusOf(EACCES);
}

RegistryStatus FileRegistryKey::queryValue(const QString &name, qsizetype maxDataBytes, QString &text) const
{
    QByteArray file;
    if (const int error = readFile(m_dir.get(), valueEntry(name), MaxRecordSize, file))
        return statusOf(error);
    const std::optional<Record> record = decodeRecord(file);
    if (!record)
        return statusOf(EBADMSG);
    if (record->data.size() > maxDataBytes)
        return statusOf(EOVERFLOW);
    text = textOf(record->data);
    return {};
}

// A value keeps the name it was first written with.
QString FileRegistryKey::storedValueName(const QByteArray &entry, const QString &name) const
{
    const std::optional<Record> record = readRecord(m_dir.get(), entry);
    return record && valueEntry(record->name) == entry ? record->name : name;
}

RegistryStatus FileRegistryKey::setValue(const QString &name, const QString &text)
{
    if (const RegistryStatus status = requireWrite(); !status.ok())
        return status;
    if (!fitsRecord(name, text))
        return statusOf(EFBIG);
    const QByteArray entry = valueEntry(name);
    const QByteArray record = encodeRecord(storedValueName(entry, name), text);
    return statusOf(replaceFile(m_dir.get(), entry, record, valueFileMode(m_root)));
}

RegistryStatus FileRegistryKey::deleteValue(const QString &name)
{
    if (const RegistryStatus status = requireWrite(); !status.ok())
        return status;
    return statusOf(removeEntry(m_dir.get(), valueEntry(name), 0));
}

int FileRegistryKey::entryAt(EntryKind kind, int index, QByteArray &entry) const
{
    std::vector<Entry> entries;
    if (const int error = listEntries(m_dir.get(), entries))
        return error;
    int seen = 0;
    for (const Entry &e : entries) {
        if (e.kind == kind && seen++ == index) {
            entry = e.name;
            return 0;
        }
    }
    return ENODATA;
}

RegistryStatus FileRegistryKey::valueNameAt(int index, qsizetype maxNameLength, qsizetype maxDataBytes,
                                            QString &name) const
{
    QByteArray entry;
    if (const int error = entryAt(EntryKind::Value, index, entry))
        return statusOf(error);
    const std::optional<Record> record = readRecord(m_dir.get(), entry);
    std::optional<QString> found;
    qsizetype dataBytes = 0;
    if (record && valueEntry(record->name) == entry) {
        found = record->name;
        dataBytes = record->data.size();
    } else {
        // Damaged: still name it by its entry, so that it can be deleted.
        found = nameFromEntry(entry.chopped(ValueSuffixLength));
    }
    if (!found)
        return statusOf(EBADMSG);
    if (found->size() >= maxNameLength || dataBytes > maxDataBytes)
        return statusOf(EOVERFLOW);
    name = *found;
    return {};
}

RegistryStatus FileRegistryKey::subKeyNameAt(int index, qsizetype maxNameLength, QString &name) const
{
    QByteArray entry;
    if (const int error = entryAt(EntryKind::Key, index, entry))
        return statusOf(error);
    const UniqueFd sub = openDirectory(m_dir.get(), entry);
    const std::optional<QString> found = sub ? keyName(sub.get(), entry) : nameFromEntry(entry);
    if (!found || found->isEmpty())
        return statusOf(EBADMSG);
    if (found->size() >= maxNameLength)
        return statusOf(EOVERFLOW);
    name = *found;
    return {};
}

RegistryStatus FileRegistryKey::openSubKey(const QString &name, RegistryAccess access,
                                           std::unique_ptr<RegistryKey> &key) const
{
    if (name.isEmpty())
        return statusOf(EINVAL);
    UniqueFd sub = openDirectory(m_dir.get(), keyEntry(name));
    if (!sub)
        return statusOf(errno);
    return makeKey(std::move(sub), m_root, access, key);
}

RegistryStatus FileRegistryKey::deleteSubKey(const QString &name)
{
    if (const RegistryStatus status = requireWrite(); !status.ok())
        return status;
    if (name.isEmpty())
        return statusOf(EINVAL);
    const QByteArray entry = keyEntry(name);
    const UniqueFd sub = openDirectory(m_dir.get(), entry);
    if (!sub)
        return statusOf(errno);
    if (const int error = removeKeyContents(sub.get()))
        return statusOf(error);
    return statusOf(removeEntry(m_dir.get(), entry, AT_REMOVEDIR));
}

} // namespace platform::registry
