#pragma once
// Names inside the archive and how they meet Linux file names.
//
// The format keeps folders with "\" between them ("\Data\Sub\"), as Windows wrote them.
// Names given to the component may use "/" or "\" for an entry's folders; a Linux file
// that is added is named with "/", and a "\" inside one of its stored names cannot be
// kept faithfully (it would read back as a folder), so it is refused. Lookups compare
// full names with only the letters A to Z folded to lower case.
#include "archive/zlbrecords.h"

#include <QStringList>

namespace archive::names {

// The name with "/" turned into the format's "\".
QString archiveForm(const QString &name);

// Up to and including the last "\" of a name in archive form ("" when there is none).
QString folderPart(const QString &name);
// After the last "\".
QString filePart(const QString &name);

// The folder with everything up to and including its first ":" removed ("C:\Data\"
// gives "\Data\"; a folder without ":" is unchanged).
QString withoutDrive(const QString &folder);

// The full name an added source gets: its folder without the drive when folders are
// kept, nothing otherwise, then its file name.
QString storedName(const QString &name, bool savePaths);

// A Linux file's name in archive form, as it is stored; throws platform::Error when a part
// that would be stored holds a "\".
QString sourceName(const QString &linuxName, bool savePaths);

// Only A to Z folded to lower case.
QString foldCase(const QString &name);

// Where an entry goes below the destination: the folders (only with `withPath`) and the
// file name. Throws platform::Error before anything is written when the stored folder has
// a ".." step or the name is empty, "." or "..", holds a separator or a NUL character.
struct ExtractionPlace
{
    QStringList folders;
    QString name;
};
ExtractionPlace extractionPlace(const TZLBFileRec &rec, bool withPath, int index);

} // namespace archive::names
