#include "archive/entrynames.h"

#include "archive/zlbmessages.h"
#include "platform/error.h"

#include <algorithm>

namespace archive::names {
namespace {

const QChar Backslash(u'\\');

bool isSeparator(QChar c)
{
    return c == Backslash || c == u'/';
}

bool unsafeFolderStep(const QString &step)
{
    return step == QLatin1String("..") || step.contains(QChar(u'\0'));
}

bool unsafeFileName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
           || name.contains(QChar(u'\0')) || std::any_of(name.cbegin(), name.cend(), isSeparator);
}

} // namespace

QString archiveForm(const QString &name)
{
    QString result = name;
    return result.replace(u'/', Backslash);
}

QString folderPart(const QString &name)
{
    return name.left(name.lastIndexOf(Backslash) + 1);
}

QString filePart(const QString &name)
{
    return name.mid(name.lastIndexOf(Backslash) + 1);
}

QString withoutDrive(const QString &folder)
{
    return folder.mid(folder.indexOf(u':') + 1);
}

QString storedName(const QString &name, bool savePaths)
{
    const QString form = archiveForm(name);
    return (savePaths ? withoutDrive(folderPart(form)) : QString()) + filePart(form);
}

QString sourceName(const QString &linuxName, bool savePaths)
{
    const qsizetype slash = linuxName.lastIndexOf(u'/');
    const bool folderHasBackslash = savePaths && linuxName.left(slash + 1).contains(Backslash);
    if (folderHasBackslash || linuxName.mid(slash + 1).contains(Backslash))
        throw platform::Error(msg::backslashInName(linuxName));
    return storedName(linuxName, savePaths);
}

QString foldCase(const QString &name)
{
    QString folded = name;
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

ExtractionPlace extractionPlace(const TZLBFileRec &rec, bool withPath, int index)
{
    ExtractionPlace place;
    place.name = shortStringText(rec.name);
    if (unsafeFileName(place.name))
        throw platform::Error(msg::unsafeName(index, fullName(rec)));
    if (!withPath)
        return place;
    QString step;
    const QString path = shortStringText(rec.path) + Backslash;
    for (const QChar c : path) {
        if (!isSeparator(c)) {
            step += c;
            continue;
        }
        if (unsafeFolderStep(step))
            throw platform::Error(msg::unsafeName(index, fullName(rec)));
        if (!step.isEmpty() && step != QLatin1String("."))
            place.folders.append(step);
        step.clear();
    }
    return place;
}

} // namespace archive::names
