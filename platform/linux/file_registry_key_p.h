#pragma once
// One open key of the file-tree registry store: its directory, held open.
#include "platform/linux/registry_files_p.h"
#include "platform/registry_store.h"

#include <sys/types.h>

namespace platform::registry {

// Modes of what the store creates: machine values are readable and writable by every
// account (the Windows NULL access list); the user's own store is private.
mode_t valueFileMode(RegistryRoot root);

class FileRegistryKey final : public RegistryKey
{
public:
    FileRegistryKey(UniqueFd dir, RegistryRoot root, RegistryAccess access);

    RegistryStatus queryValue(const QString &name, qsizetype maxDataBytes, QString &text) const override;
    RegistryStatus setValue(const QString &name, const QString &text) override;
    RegistryStatus deleteValue(const QString &name) override;
    RegistryStatus valueNameAt(int index, qsizetype maxNameLength, qsizetype maxDataBytes,
                               QString &name) const override;
    RegistryStatus subKeyNameAt(int index, qsizetype maxNameLength, QString &name) const override;
    RegistryStatus openSubKey(const QString &name, RegistryAccess access,
                              std::unique_ptr<RegistryKey> &key) const override;
    RegistryStatus deleteSubKey(const QString &name) override;

private:
    RegistryStatus requireWrite() const;
    QString storedValueName(const QByteArray &entry, const QString &name) const;
    int entryAt(EntryKind kind, int index, QByteArray &entry) const;

    UniqueFd m_dir;
    RegistryRoot m_root;
    RegistryAccess m_access;
};

// Wraps an opened key directory; Write access is refused when the account may not change it.
RegistryStatus makeKey(UniqueFd dir, RegistryRoot root, RegistryAccess access, std::unique_ptr<RegistryKey> &key);

// A key's name as first written, from its ".name" file, else from its entry.
std::optional<QString> keyName(int keyFd, const QByteArray &entry);

} // namespace platform::registry
