#pragma once
// String values in a two-rooted tree of keys, shared with the service (machine root)
// and private to the user (user root). Key paths use "\" and compare without regard to
// letter case; a trailing "\" names the same key; the empty value name is the default value.
#include <QString>

namespace suite {

enum class RegistryRoot { LocalMachine, CurrentUser };

// The value's text, or "" when the key or value is absent, unreadable or longer than 1024.
QString ReadRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName);

// Creates missing keys on the way; true when the value was stored.
bool WriteRegistryString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                         const QString &text);

// Removes the key with its values and sub-keys (a key directly under the root is only emptied).
void DeleteRegistryKey(RegistryRoot root, const QString &keyPath);

// Per-installation settings under "SOFTWARE\Tellvara\" + InstallKey + section.
QString ReadSuiteSetting(const QString &section, const QString &name);
void WriteSuiteSetting(const QString &section, const QString &name, const QString &text);

// Text of the last failed key creation in WriteRegistryString; "" at start.
QString LastRegistryError();

// The installation's key word, ending in "\". Set by the path values at start-up.
QString InstallKey();
void SetInstallKey(const QString &key);

} // namespace suite
