#pragma once
// How key and value names become directory entries of the file-tree registry store.
//
// An entry is made from the case-folded name, so names that differ only in letter case
// meet in one entry. ASCII letters, digits, "-", "_" and space stay as they are; other
// ASCII bytes become "%xx" (so "/", NUL, "." and "%" never reach the file system as
// themselves), other characters their UTF-8 bytes, and a lone surrogate "%uxxxx". The
// empty name (a key's default value) is "@". An encoding longer than MaxPlainEntry bytes
// is replaced by "~" and the SHA-256 of the folded name, since entries are limited to
// 255 bytes.
//
// In a key's directory: a sub-key is a directory named by its entry; a value is a file
// named entry + ".v"; ".name" holds the key's name as first written; ".tmp-*" are files
// being written. Entries encode no ".", so nothing else ever has a leading dot or a "." in
// it; any other entry is foreign to the store and left alone.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform::registry {

inline constexpr qsizetype MaxPlainEntry = 200;
inline constexpr char ValueSuffix[] = ".v";
inline constexpr char KeyNameFile[] = ".name";
inline constexpr char TempPrefix[] = ".tmp-";

// The key names of a path; one trailing "\" is dropped and the empty path has none.
// Empty when another name in the path is empty.
std::optional<QStringList> splitKeyPath(const QString &path);

QByteArray keyEntry(const QString &name);
QByteArray valueEntry(const QString &name);

// The (case-folded) name an entry was made from, when it is one of ours and not
// shortened; for a value entry pass it without ".v".
std::optional<QString> nameFromEntry(const QByteArray &entry);

enum class FileType { Directory, Regular, Other };
enum class EntryKind { Key, Value, StoreFile, Foreign };

EntryKind classifyEntry(const QByteArray &entry, FileType type);

} // namespace platform::registry
