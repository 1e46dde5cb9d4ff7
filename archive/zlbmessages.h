#pragma once
// The texts the archive component raises and reports, in one place so the format
// reader, the writer and the component say the same thing.
#include <QString>

namespace archive::msg {

inline QString noArchiveOpen() { return QStringLiteral("No archive is currently open"); }
inline QString indexOutOfBounds() { return QStringLiteral("Index out of bounds"); }
inline QString archiveNotFound() { return QStringLiteral("Archive file not found"); }
inline QString unableToOpen(const QString &name) { return QStringLiteral("Unable to open file (%1)").arg(name); }
inline QString archiveCorrupted() { return QStringLiteral("The archive file appears to be corrupted"); }
inline QString unableToReadList() { return QStringLiteral("Unable to read archive file list"); }
inline QString fileAlreadyExists() { return QStringLiteral("File already exists"); }
inline QString fileNotInArchive() { return QStringLiteral("File not found in archive"); }
inline QString unableToCreateDestination() { return QStringLiteral("Unable to create destination path"); }
inline QString fileCorrupt(int index) { return QStringLiteral("File (%1) is corrupt").arg(index); }
inline QString fileFailedCrc(int index) { return QStringLiteral("File (%1) failed CRC check").arg(index); }
inline QString alreadyInArchive(const QString &name) { return QStringLiteral("%1 already exists in the archive").arg(name); }

inline QString extracting(const QString &name) { return QStringLiteral("Extracting %1").arg(name); }
inline QString updating(const QString &name) { return QStringLiteral("Updating %1").arg(name); }
inline QString extractingRegistry() { return QStringLiteral("Extracting archive registry"); }
inline QString writingRegistry() { return QStringLiteral("Writing archive registry"); }

// Texts of this implementation for what the format cannot hold or a reader must refuse.
inline QString archiveTooLarge(const QString &name)
{
    return QStringLiteral("The archive %1 would reach 2 GiB, more than the format can hold").arg(name);
}
inline QString entryTooLarge(const QString &name)
{
    return QStringLiteral("%1 reaches 2 GiB, more than an archive entry can hold").arg(name);
}
inline QString sourceChanged(const QString &name)
{
    return QStringLiteral("%1 changed while it was read").arg(name);
}
inline QString backslashInName(const QString &name)
{
    return QStringLiteral("%1 holds a \"\\\" in a name, which the archive would read back as a folder").arg(name);
}
inline QString streamNotSeekable(const QString &name)
{
    return QStringLiteral("The stream for %1 cannot be read from its start").arg(name);
}
inline QString unsafeName(int index, const QString &name)
{
    return QStringLiteral("File (%1) has a name that leads outside the destination (%2)").arg(index).arg(name);
}
inline QString unableToCreate(const QString &detail)
{
    return QStringLiteral("Unable to create file (%1)").arg(detail);
}
inline QString unableToWrite(const QString &detail)
{
    return QStringLiteral("Unable to write file (%1)").arg(detail);
}
inline QString archiveNotReplaced(const QString &archive, const QString &kept, const QString &reason)
{
    return QStringLiteral("Unable to replace %1 (%2); the new archive was kept as %3").arg(archive, reason, kept);
}

} // namespace archive::msg
