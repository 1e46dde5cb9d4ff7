// Deleting a key with everything under it, as the suite has always done it: empty it depth
// first, then delete it from its parent.
#include "suite/registry.h"

#include "suite/dialogs.h"
#include "platform/error.h"
#include "suite/translate.h"

namespace suite {
namespace {

constexpr qsizetype EnumNameLength = 512;  // 511 characters and the NUL
constexpr qsizetype EnumDataBytes = 8192;

QString valueNotDeletedText()
{
    return TranslateText(QStringLiteral("Det gick inte att radera värdet i registret!"));
}

void clearValues(platform::RegistryKey &key)
{
    for (;;) {
        QString name;
        const platform::RegistryStatus status = key.valueNameAt(0, EnumNameLength, EnumDataBytes, name);
        if (status.result == platform::RegistryResult::AccessDenied) {
            ShowMessageText(valueNotDeletedText() + QStringLiteral("\r\r")
                            + TranslateText(QStringLiteral("Åtkomst nekad")));
            return;
        }
        // No more values, one too large for the buffers, or one that will not go: done.
        if (!status.ok() || !key.deleteValue(name).ok())
            return;
    }
}

void clearSubKeys(platform::RegistryKey &key)
{
    int index = 0;
    for (;;) {
        QString name;
        if (!key.subKeyNameAt(index, EnumNameLength, name).ok())
            return;
        std::unique_ptr<platform::RegistryKey> subKey;
        if (!key.openSubKey(name, platform::RegistryAccess::Write, subKey).ok())
            return;
        ClearRegistryKey(*subKey);
        subKey.reset();
        // One that stays would be met at the same index for ever: step past it.
        if (!key.deleteSubKey(name).ok())
            ++index;
    }
}

} // namespace

void ClearRegistryKey(platform::RegistryKey &key)
{
    clearValues(key);
    clearSubKeys(key);
}

void DeleteRegistrySubKey(RegistryRoot root, const QString &keyPath)
{
    QStringView path(keyPath);
    if (path.endsWith(u'\\'))
        path.chop(1); // the same key
    const qsizetype slash = path.lastIndexOf(u'\\');
    if (slash < 0)
        return;
    const QStringView parentPath = path.left(slash);
    // "a\\b": an empty name the store would not open; it must not delete "a\b" either.
    if (parentPath.endsWith(u'\\'))
        return;
    std::unique_ptr<platform::RegistryKey> parent;
    if (!platform::registryStore().openKey(root, parentPath.toString(), platform::RegistryAccess::Write, parent).ok())
        return;
    // A key that still has sub-keys, or that this account may not delete, silently stays.
    (void)parent->deleteSubKey(path.mid(slash + 1).toString());
}

void DeleteRegistryKey(RegistryRoot root, const QString &keyPath)
{
    std::unique_ptr<platform::RegistryKey> key;
    if (platform::registryStore().openKey(root, keyPath, platform::RegistryAccess::Write, key).ok()) {
        try {
            ClearRegistryKey(*key);
        } catch (const std::exception &e) {
            ShowError(valueNotDeletedText() + QStringLiteral("\r\r") + platform::messageOf(e));
        }
        key.reset();
    }
    DeleteRegistrySubKey(root, keyPath);
}

} // namespace suite
