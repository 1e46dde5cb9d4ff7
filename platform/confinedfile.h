#pragma once
// Creating folders and files below a folder the caller trusts, for writing names that
// come from untrusted data (an archive's entries).
//
// The root itself may be reached through symbolic links: the caller chose it. Below it,
// every folder is opened without following links, so a link planted in the tree (say
// "docs -> /etc") is refused rather than written through, and a file is created or
// emptied without following a link either: an existing link at its name is replaced by
// a new, regular file. Each folder name must be a single name (no "/", not "." or "..");
// the caller has checked that.
#include <QFile>
#include <QString>
#include <QStringList>

namespace platform {

// Creates every missing folder of the chain `folders` below `root`. False, with a text
// naming the folder in *error, when one cannot be made or is not a real folder.
[[nodiscard]] bool makeConfinedFolders(const QString &root, const QStringList &folders, QString *error);

// Whether anything (file, folder, link) named root/folders.../name exists; links are
// not followed.
bool confinedEntryExists(const QString &root, const QStringList &folders, const QString &name);

// Opens root/folders.../name for writing, created or emptied, as an unbuffered QFile.
// The folders must exist. False with *error when it cannot be opened.
[[nodiscard]] bool openConfinedFile(QFile &file, const QString &root, const QStringList &folders,
                                    const QString &name, QString *error);

} // namespace platform
