#pragma once
// String values in a two-rooted tree of keys, shared with the service (machine root)
// and private to the user (user root). Key paths use "\" and compare without regard to
// letter case; a trailing "\" names the same key; the empty value name is the default value.
// The rules of the store itself: platform/registry_store.h; this layer's: suite/DESIGN.md.
#include "platform/registry_store.h"

#include <QString>

namespace suite {

using RegistryRoot = platform::RegistryRoot;

// Key paths, value names and texts given to a write, and key paths and value names given
// to a read, hold at most this many UTF-16 units; so does a text a read returns.
inline constexpr qsizetype RegistryTextLimit = 1024;

// The value's text, or "" when the key or value is absent, unreadable or longer than 1024.
QString ReadRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName);

// Creates missing keys on the way (machine keys writable by every account); true when the
// value was stored.
bool WriteRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                         const QString &text);

// Creates missing keys on the way as a write would and checks that this account may write
// the key; false with LastRegistryWriteFailure saying why. Lets a caller that writes several
// values find a refusal before it writes the first.
bool PrepareRegistryKeyForWrite(RegistryRoot root, const QString &keyPath);

// What a refused write of a machine key tells the user besides the system's reason: the
// right comes with the store's group.
inline const QString MachineWriteRightsHint = QStringLiteral(
    "Ändringar kräver medlemskap i gruppen \"tellvara\". En administratör ger det med:\n"
    "adduser USER tellvara\n(logga sedan in igen)");

// Removes the key with its values and sub-keys (a key directly under the root is only emptied).
void DeleteRegistryKey(RegistryRoot root, const QString &keyPath);

// Deletes every value and, depth first, every sub-key of an open key. A sub-key that
// cannot be deleted is stepped past, so the emptying always ends.
void ClearRegistryKey(platform::RegistryKey &key);

// Deletes the key at the end of the path when it has no sub-keys; a path without "\" is
// left alone.
void DeleteRegistrySubKey(RegistryRoot root, const QString &keyPath);

// Per-installation settings under "SOFTWARE\Tellvara\" + InstallKey + section.
QString ReadSuiteSetting(const QString &section, const QString &name);
void WriteSuiteSetting(const QString &section, const QString &name, const QString &text);

// Text of the last failed key creation in WriteRegistryString; "" at start.
QString LastRegistryError();

// Why the last WriteRegistryString or PrepareRegistryKeyForWrite returned false (the system's text, or the limit it
// broke); "" after a success. LastRegistryError keeps its narrower meaning.
QString LastRegistryWriteFailure();

// The installation's key word, ending in "\". Set by the path values at start-up.
QString InstallKey();
void SetInstallKey(const QString &key);

} // namespace suite
