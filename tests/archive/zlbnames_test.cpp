// The name rules between Linux file names and the archive's folder form.
#include "archive/entrynames.h"
#include "archive_test_support.h"

using namespace archive;
using namespace archivetest;

namespace {

TEST(ZlbNames, StoredNames)
{
    const struct
    {
        const char *given;
        bool savePaths;
        const char *stored;
    } cases[] = {
        {"/home/u/x.txt", false, "x.txt"},
        {"/home/u/x.txt", true, "\\home\\u\\x.txt"},
        {"docs/x.txt", true, "docs\\x.txt"},
        {"C:\\Data\\Sub\\x.txt", true, "\\Data\\Sub\\x.txt"},
        {"\\\\server\\share\\x.txt", true, "\\\\server\\share\\x.txt"},
        {"/a:b/c:d/x.txt", true, "b\\c:d\\x.txt"},
        {"x:y.txt", true, "x:y.txt"},
        {"x.txt", true, "x.txt"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(names::storedName(c.given, c.savePaths), c.stored) << c.given;
}

TEST(ZlbNames, SourceNamesWithABackslashInAStoredPartAreRefused)
{
    const struct
    {
        const char *given;
        bool savePaths;
        bool refused;
    } cases[] = {
        {"/d/a\\b.txt", false, true}, {"/d/a\\b.txt", true, true}, {"/d\\e/b.txt", false, false},
        {"/d\\e/b.txt", true, true},  {"/d/e/b.txt", true, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(!errorOf([&] { names::sourceName(c.given, c.savePaths); }).isEmpty(), c.refused) << c.given;
}

TEST(ZlbNames, OnlyAToZAreFolded)
{
    EXPECT_EQ(names::foldCase(QString::fromUtf8("ABC\\Äz.TXT")), QString::fromUtf8("abc\\Äz.txt"));
}

TEST(ZlbNames, ExtractionPlaces)
{
    const struct
    {
        const char *path;
        const char *name;
        const char *folders; // joined with "|"; "!" when refused
    } cases[] = {
        {"", "a.txt", ""},
        {"\\", "a.txt", ""},
        {"\\Data\\\\Sub\\", "a.txt", "Data|Sub"},
        {"Data\\", "a.txt", "Data"},
        {".\\Data\\.\\", "a.txt", "Data"},
        {"\\\\server\\share\\", "a.txt", "server|share"},
        {"C:\\x\\", "a.txt", "C:|x"},
        {"..\\", "a.txt", "!"},
        {"\\a\\..\\b\\", "a.txt", "!"},
        {"a/../../", "a.txt", "!"},
        {"", "..", "!"},
        {"", ".", "!"},
        {"", "", "!"},
        {"", "a/b.txt", "!"},
        {"", "\\b.txt", "!"},
    };
    for (const auto &c : cases) {
        TZLBFileRec rec;
        setShortString(rec.path, c.path);
        setShortString(rec.name, c.name);
        QString folders;
        const QString error = errorOf([&] { folders = names::extractionPlace(rec, true, 3).folders.join('|'); });
        if (QString(c.folders) == "!")
            EXPECT_TRUE(error.startsWith("File (3) has a name that leads outside the destination")) << c.path << c.name;
        else
            EXPECT_EQ(folders, c.folders) << c.path << c.name;
    }
    TZLBFileRec nul;
    nul.name.overwrite("\3a\0b", 4);
    EXPECT_FALSE(errorOf([&] { names::extractionPlace(nul, false, 0); }).isEmpty());
}

} // namespace
