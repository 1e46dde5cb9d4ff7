// Extraction: where files go, what the events receive, and that nothing is ever written
// outside the destination.
#include "archive_test_support.h"

#include <QFileInfo>

#include <unistd.h>

using namespace archive;
using namespace archivetest;

namespace {

// An archive with a.txt (no folder) and \Data\b.txt, written by hand.
QString twoEntries(TZLBArchive &zlb)
{
    EXPECT_TRUE(zlb.OpenArchive(copySample("archive_format", "two_entries.zlb")));
    return zlb.ArchiveName();
}

TEST(ZlbExtract, NamesLeadingOutsideAreRefusedBeforeAnythingIsWritten)
{
    const struct
    {
        const char *file;
        bool withPath;
    } cases[] = {
        {"dotdot_path.zlb", true},       {"dotdot_slash_path.zlb", true}, {"safe_then_evil.zlb", true},
        {"absolute_name.zlb", false},    {"separator_name.zlb", false},   {"dotdot_name.zlb", false},
    };
    for (const auto &c : cases) {
        const QString top = testenv::freshDir("escape");
        const QString out = top + "/a/b/out";
        QDir().mkpath(out);
        TZLBArchive zlb;
        zlb.SetExtractWithPath(c.withPath);
        ASSERT_TRUE(zlb.OpenArchive(sample("archive_extract", c.file)));
        const int last = zlb.FileCount() - 1;
        EXPECT_TRUE(errorOf([&] { zlb.ExtractAll(out); }).startsWith(QString("File (%1) has a name that leads outside").arg(last)))
            << c.file;
        EXPECT_TRUE(errorOf([&] { zlb.ExtractFileByIndex(out, last); }).startsWith("File (")) << c.file;
        // Given with "/", the name is read as folders and not found at all; either way it fails.
        EXPECT_FALSE(errorOf([&] { zlb.ExtractFileByName(out, fullName(zlb.Files(last))); }).isEmpty()) << c.file;
        EXPECT_EQ(filesBelow(top), QStringList()) << c.file << ": nothing written anywhere";
        EXPECT_FALSE(QFile::exists("/tmp/evil.txt"));
    }
}

TEST(ZlbExtract, StoredFolderIsIgnoredWithoutExtractWithPath)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(sample("archive_extract", "dotdot_path.zlb")));
    const QString out = testenv::freshDir("flat");
    zlb.ExtractAll(out);
    EXPECT_EQ(filesBelow(out), QStringList{"evil.txt"});
}

TEST(ZlbExtract, LinkedFolderInTheDestinationIsNotWrittenThrough)
{
    const QString top = testenv::freshDir("links");
    const QString outside = top + "/outside";
    const QString out = top + "/out";
    QDir().mkpath(outside);
    QDir().mkpath(out);
    ASSERT_TRUE(QFile::link(outside, out + "/Data"));
    TZLBArchive zlb;
    twoEntries(zlb);
    zlb.SetExtractWithPath(true);
    EXPECT_TRUE(errorOf([&] { zlb.ExtractAll(out); }).startsWith("Unable to create destination path"));
    EXPECT_TRUE(errorOf([&] { zlb.ExtractFileByName(out, "\\Data\\b.txt"); }).startsWith("Unable to create destination path"));
    EXPECT_EQ(filesBelow(outside), QStringList());
}

TEST(ZlbExtract, FolderSwappedForALinkBetweenEntriesIsNotFollowed)
{
    // Entries in a\, b\ and a\ again: coming back to a\ resolves it anew, and by then
    // it is a link leading outside. With a writer thread, a\z.txt may have been written
    // before the swap (into the folder that is moved away), or the writer may have made a
    // fresh a\ before the link could take its place: never through the link.
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    zlb.SetExtractWithPath(true);
    zlb.CreateArchive(testenv::freshDir("swap-archive") + "/s.zlb");
    for (const char *name : {"a\\x.txt", "b\\y.txt", "a\\z.txt"}) {
        QBuffer content;
        content.setData(name);
        content.open(QIODevice::ReadOnly);
        zlb.AddStream(name, content);
    }
    for (int threads : {1, 2}) {
        const QString top = testenv::freshDir("swap");
        const QString out = top + "/out";
        QDir().mkpath(top + "/outside");
        int extracted = 0;
        bool linked = false;
        zlb.OnFileExtracted = [&](const QString &) {
            if (++extracted == 1) {
                ASSERT_TRUE(QDir().rename(out + "/a", top + "/moved"));
                linked = QFile::link(top + "/outside", out + "/a");
            }
        };
        zlb.SetThreads(threads);
        const QString error = errorOf([&] { zlb.ExtractAll(out); });
        EXPECT_EQ(filesBelow(top + "/outside"), QStringList()) << threads;
        EXPECT_EQ(filesBelow(out + "/b"), QStringList{"y.txt"}) << threads;
        if (!linked) {
            ASSERT_EQ(threads, 2) << "nothing else could have made a\\ again";
            EXPECT_EQ(error, QString());
            EXPECT_EQ(filesBelow(top + "/moved"), QStringList{"x.txt"});
            EXPECT_EQ(filesBelow(out + "/a"), QStringList{"z.txt"});
        } else if (threads == 1 || !error.isEmpty()) {
            EXPECT_TRUE(error.startsWith("Unable to create destination path")) << threads;
            EXPECT_EQ(extracted, 2) << threads;
            EXPECT_EQ(filesBelow(top + "/moved"), QStringList{"x.txt"}) << threads;
        } else {
            EXPECT_EQ(extracted, 3);
            EXPECT_EQ(filesBelow(top + "/moved"), QStringList({"x.txt", "z.txt"}));
        }
    }
}

TEST(ZlbExtract, LinkedFileInTheDestinationIsReplacedNotWrittenThrough)
{
    const QString top = testenv::freshDir("filelink");
    const QString out = top + "/out";
    testenv::writeFile(top + "/precious.txt", "keep me");
    QDir().mkpath(out);
    ASSERT_TRUE(QFile::link(top + "/precious.txt", out + "/a.txt"));
    TZLBArchive zlb;
    twoEntries(zlb);
    zlb.ExtractFileByIndex(out, 0);
    EXPECT_EQ(testenv::readFile(top + "/precious.txt"), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(out + "/a.txt").isSymLink());
    EXPECT_EQ(testenv::readFile(out + "/a.txt").left(9), QByteArray("The quick"));
}

TEST(ZlbExtract, FifoInTheDestinationIsRefusedWithoutBlocking)
{
    const QString out = testenv::freshDir("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(out + "/a.txt").constData(), 0600), 0);
    TZLBArchive zlb;
    twoEntries(zlb);
    EXPECT_TRUE(errorOf([&] { zlb.ExtractFileByIndex(out, 0); }).startsWith("Unable to create file"));
}

TEST(ZlbExtract, FileExtractedGetsDestinationAndNameWithNoSeparator)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    Recorder recorder(zlb);
    const QString out = testenv::freshDir("events") + "/Out";
    zlb.ExtractAll(out);
    EXPECT_EQ(recorder.events, QStringList({"extracted: " + out + "a.txt", "extracted: " + out + "b.txt"}));
    EXPECT_EQ(filesBelow(out), QStringList({"a.txt", "b.txt"}));
    EXPECT_EQ(testenv::readFile(out + "/b.txt"), QByteArray("xyz"));
}

TEST(ZlbExtract, ExtractWithPathRecreatesStoredFolders)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    zlb.SetExtractWithPath(true);
    const QString out = testenv::freshDir("paths") + "/deep/Out/";
    zlb.ExtractAll(out);
    EXPECT_EQ(filesBelow(out.chopped(1)), QStringList({"Data/b.txt", "a.txt"}));
}

TEST(ZlbExtract, ReplaceQuestionDecidesForExistingFiles)
{
    for (bool replace : {false, true}) {
        TZLBArchive zlb;
        twoEntries(zlb);
        const QString out = testenv::freshDir("replace");
        testenv::writeFile(out + "/b.txt", "old");
        Recorder recorder(zlb, replace);
        zlb.ExtractAll(out);
        EXPECT_EQ(testenv::readFile(out + "/b.txt"), replace ? QByteArray("xyz") : QByteArray("old"));
        QStringList expected{"extracted: " + out + "a.txt", "replace? " + out + "/b.txt"};
        if (replace)
            expected << "extracted: " + out + "b.txt";
        EXPECT_EQ(recorder.events, expected);
    }
}

TEST(ZlbExtract, ExistingFileIsOverwrittenWithoutAHandler)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    const QString out = testenv::freshDir("overwrite");
    testenv::writeFile(out + "/b.txt", "a much longer old content");
    zlb.ExtractFileByName(out, "\\DATA\\B.TXT");
    EXPECT_EQ(testenv::readFile(out + "/b.txt"), QByteArray("xyz"));
}

TEST(ZlbExtract, NamesAreFoundWithOnlyAToZFolded)
{
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    zlb.CreateArchive(testenv::freshDir("case") + "/c.zlb");
    QBuffer content;
    content.setData("x");
    content.open(QIODevice::ReadOnly);
    zlb.AddStream(QString::fromUtf8("\\Data\\Ärende.txt"), content);
    const QString out = testenv::freshDir("case-out");
    const struct
    {
        const char *name;
        bool found;
    } cases[] = {
        {"\\Data\\Ärende.txt", true}, {"\\DATA\\ÄRENDE.TXT", true}, {"/data/Ärende.txt", true},
        {"\\data\\ärende.txt", false}, {"C:\\Data\\Ärende.txt", false}, {"Ärende.txt", false},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(errorOf([&] { zlb.ExtractFileByName(out, name); }), c.found ? "" : "File not found in archive")
            << c.name;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_EQ(errorOf([&] { zlb.ExtractStreamByName(buffer, name); }), c.found ? "" : "File not found in archive")
            << c.name;
    }
}

TEST(ZlbExtract, SingleFileByIndexUsesTheDestinationAsItIs)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    const QString missing = testenv::freshDir("byindex") + "/missing";
    EXPECT_TRUE(errorOf([&] { zlb.ExtractFileByIndex(missing, 1); }).startsWith("Unable to create file"));
    EXPECT_FALSE(QFileInfo::exists(missing));
    zlb.ExtractFileByName(missing, "\\Data\\b.txt");
    EXPECT_EQ(filesBelow(missing), QStringList{"b.txt"}) << "by name the folder is made, without the stored folder";
    zlb.SetExtractWithPath(true);
    zlb.ExtractFileByIndex(missing, 1);
    EXPECT_EQ(filesBelow(missing), QStringList({"Data/b.txt", "b.txt"}));
}

TEST(ZlbExtract, EmptyDestinationIsTheCurrentFolder)
{
    const QString here = testenv::freshDir("current");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here));
    TZLBArchive zlb;
    twoEntries(zlb);
    Recorder recorder(zlb);
    zlb.ExtractAll("");
    QDir::setCurrent(before);
    EXPECT_EQ(filesBelow(here), QStringList({"a.txt", "b.txt"}));
    EXPECT_EQ(recorder.events, QStringList({"extracted: a.txt", "extracted: b.txt"}));
}

TEST(ZlbExtract, StreamGetsTheBytesFromItsPositionAndTheEventTheFullName)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    zlb.SetCheckCRC(true);
    Recorder recorder(zlb);
    QBuffer buffer;
    buffer.setData("prefix:");
    buffer.open(QIODevice::ReadWrite);
    buffer.seek(7);
    zlb.ExtractStreamByName(buffer, "\\data\\b.txt");
    EXPECT_EQ(buffer.data(), QByteArray("prefix:xyz")) << "the check covers the extracted bytes only";
    EXPECT_EQ(recorder.events, QStringList{"stream: \\Data\\b.txt"});
}

TEST(ZlbExtract, EveryOperationNeedsAnOpenArchive)
{
    TZLBArchive zlb;
    QBuffer buffer;
    QStringList list{"x"};
    const std::vector<std::function<void()>> operations = {
        [&] { zlb.GetFileCount(); },
        [&] { zlb.FileInArchive("x"); },
        [&] { zlb.ExtractAll("/tmp"); },
        [&] { zlb.ExtractFileByIndex("/tmp", 0); },
        [&] { zlb.ExtractFileByName("/tmp", "x"); },
        [&] { zlb.ExtractStreamByIndex(buffer, 0); },
        [&] { zlb.ExtractStreamByName(buffer, "x"); },
        [&] { zlb.AddFile("x"); },
        [&] { zlb.AddStream("x", buffer); },
        [&] { zlb.AddFiles(list); },
        [&] { zlb.UpdateFile("x", 0); },
        [&] { zlb.UpdateStream("x", buffer); },
        [&] { zlb.UpdateFiles(list); },
        [&] { zlb.DeleteFiles(list); },
        [&] { zlb.RenameFileByName("x", "y"); },
    };
    for (size_t i = 0; i < operations.size(); ++i)
        EXPECT_EQ(errorOf(operations[i]), "No archive is currently open") << i;
}

TEST(ZlbExtract, BadIndexesAndNamesAreRefused)
{
    TZLBArchive zlb;
    twoEntries(zlb);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QString out = testenv::freshDir("bad");
    for (int index : {-1, 2}) {
        EXPECT_EQ(errorOf([&] { zlb.GetFileItem(index); }), "Index out of bounds");
        EXPECT_EQ(errorOf([&] { zlb.ExtractFileByIndex(out, index); }), "Index out of bounds");
        EXPECT_EQ(errorOf([&] { zlb.ExtractStreamByIndex(buffer, index); }), "Index out of bounds");
    }
    EXPECT_EQ(errorOf([&] { zlb.ExtractFileByName(out, "nope.txt"); }), "File not found in archive");
    EXPECT_EQ(filesBelow(out), QStringList());
}

TEST(ZlbExtract, FailedExtractionKeepsWhatWasWrittenAndClearsTheReport)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(sample("archive_reading", "stored_osize_beyond_block.zlb")));
    Recorder recorder(zlb);
    const QString out = testenv::freshDir("partial");
    EXPECT_EQ(errorOf([&] { zlb.ExtractAll(out); }), "File (0) is corrupt");
    ASSERT_FALSE(recorder.progress.empty());
    EXPECT_EQ(recorder.progress.back(), std::make_pair(zlb.ArchiveName(), 0));
    EXPECT_EQ(filesBelow(out), QStringList{"a.txt"});
}

TEST(ZlbExtract, DamagedEntryKeepsEverythingInflatedBeforeTheDamage)
{
    // A 1,000,000-byte entry; the damage lies in the last bytes of its block: the
    // stream's own checksum, or deflate data a little before it (which may inflate to
    // wrong bytes instead, caught by the entry's checksum).
    const QByteArray content = noise(500000, 5).toHex();
    const struct
    {
        const char *what;
        int fromEnd;
    } cases[] = {{"stream checksum", 1}, {"deflate data", 200}};
    for (const auto &c : cases) {
        TZLBArchive writer;
        const QString path = testenv::freshDir("damaged") + "/d.zlb";
        writer.CreateArchive(path);
        QBuffer source;
        source.setData(content);
        source.open(QIODevice::ReadOnly);
        writer.AddStream("big.txt", source);
        const TZLBFileRec rec = writer.Files(0);
        ASSERT_EQ(rec.Status, fsCompressed);
        writer.CloseArchive();
        QByteArray file = testenv::readFile(path);
        file[rec.start + rec.csize - c.fromEnd] = static_cast<char>(file[rec.start + rec.csize - c.fromEnd] ^ 0x55);
        testenv::writeFile(path, withFixedCrc(file));

        TZLBArchive zlb;
        ASSERT_TRUE(zlb.OpenArchive(path));
        zlb.SetCheckCRC(true);
        const QString out = testenv::freshDir("damaged-out");
        EXPECT_EQ(errorOf([&] { zlb.ExtractAll(out); }), "File (0) is corrupt") << c.what;
        const QByteArray written = testenv::readFile(out + "/big.txt");
        EXPECT_GE(written.size(), 999000) << c.what;
        EXPECT_EQ(written.left(999000), content.left(999000)) << c.what;
    }
}

} // namespace
