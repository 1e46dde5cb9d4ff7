#pragma once
// The registry store: under each of two roots a tree of keys, each key holding named
// string values and one default value (the empty name). The suite's registry operations
// are written against this interface; on Linux it is a file tree
// (platform/linux/file_registry_store.cpp): a key is a directory, a value is a file.
//
// Rules every implementation keeps:
// - A key path is key names joined by "\", relative to the root. One trailing "\" names
//   the same key; the empty path is the root itself. Any other empty name in a path (a
//   leading "\", "a\\b") is refused as invalid rather than guessed at.
// - Key and value names compare without regard to letter case, and are only ever names:
//   whatever a name holds ("..", ".", "/", NUL, thousands of characters), nothing outside
//   the root is reached. Enumeration gives each name as it was first written.
// - A value is UTF-16 text. Its data is the text and one NUL, as the Windows string type
//   stores it, so its size in bytes is (length + 1) * 2; limits on data are in those bytes.
// - setValue replaces a value atomically and durably: another process reading it sees the
//   old or the new text, never a mix, and a crash leaves one of the two.
// - A machine key created GroupWritable is writable by the store's group and readable by
//   every account, and so are its values, whatever the umask. (Windows gives such keys a
//   NULL access list; here the group stands for every administrator account, since a
//   store every local account may write would let any of them redirect the service.)
// - Damaged or foreign data in the store is a failure (Failed), never a crash.
// - Nothing throws: every operation returns its status, with the system's error number
//   and text. A key object keeps its key open until it is destroyed.
#include <QString>

#include <memory>

namespace platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

enum class RegistryAccess {
    Read,
    Write, // read, set and delete values, create and delete sub-keys
};

// How createKey makes the keys it has to create.
enum class KeyCreation {
    Default,       // the root's usual rights: machine keys by the umask, user keys private
    GroupWritable, // machine keys the store's group may write afterwards
};

enum class RegistryResult {
    Ok,
    NotFound,     // the key or value is absent
    AccessDenied, // this account may not do it
    NoMoreItems,  // enumeration index past the last entry
    MoreData,     // a name or data larger than the caller allows
    Failed,       // anything else: invalid or damaged entry, not a directory, disk full...
};

struct RegistryStatus
{
    RegistryResult result = RegistryResult::Ok;
    int systemCode = 0; // the system's error number behind the result; 0 for Ok

    bool ok() const { return result == RegistryResult::Ok; }
    // The system's message text for systemCode.
    QString text() const;
};

class RegistryKey
{
public:
    virtual ~RegistryKey() = default;

    // The text of a value (empty name: the default value) up to its first NUL; MoreData
    // when its data holds more than maxDataBytes.
    [[nodiscard]] virtual RegistryStatus queryValue(const QString &name, qsizetype maxDataBytes,
                                                    QString &text) const = 0;
    [[nodiscard]] virtual RegistryStatus setValue(const QString &name, const QString &text) = 0;
    [[nodiscard]] virtual RegistryStatus deleteValue(const QString &name) = 0;

    // Names at an index of the enumeration (NoMoreItems past the end). MoreData when the
    // name needs maxNameLength UTF-16 units or more (it must fit with a NUL), or the
    // value's data exceeds maxDataBytes.
    [[nodiscard]] virtual RegistryStatus valueNameAt(int index, qsizetype maxNameLength,
                                                     qsizetype maxDataBytes, QString &name) const = 0;
    [[nodiscard]] virtual RegistryStatus subKeyNameAt(int index, qsizetype maxNameLength,
                                                      QString &name) const = 0;

    [[nodiscard]] virtual RegistryStatus openSubKey(const QString &name, RegistryAccess access,
                                                    std::unique_ptr<RegistryKey> &key) const = 0;
    // Removes a sub-key with its values; fails while it has sub-keys of its own.
    [[nodiscard]] virtual RegistryStatus deleteSubKey(const QString &name) = 0;
};

class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    // Opens an existing key; Write access fails when the account may not change it.
    [[nodiscard]] virtual RegistryStatus openKey(RegistryRoot root, const QString &path,
                                                 RegistryAccess access,
                                                 std::unique_ptr<RegistryKey> &key) = 0;
    // Opens a key for writing, creating it and any missing parents.
    [[nodiscard]] virtual RegistryStatus createKey(RegistryRoot root, const QString &path,
                                                   KeyCreation creation,
                                                   std::unique_ptr<RegistryKey> &key) = 0;
};

// The store in use: the file tree under $TELLVARA_ROOT/etc/tellvara/registry/ (machine)
// and ${XDG_CONFIG_HOME:-$HOME/.config}/tellvara/registry/ (user), the variables read on
// every call.
RegistryStore &registryStore();

} // namespace platform
