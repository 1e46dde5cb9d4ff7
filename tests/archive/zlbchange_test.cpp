// Changes: adding, updating, deleting and renaming, and that the old archive is never
// lost whatever goes wrong.
#include "archive/archivewriter.h"
#include "archive/blockstore.h"
#include "archive/limiterror.h"
#include "archive_test_support.h"

#include <QFileInfo>
#include <QProcess>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace archive;
using namespace archivetest;

namespace {

QString tempFolder()
{
    return QDir::tempPath();
}

QStringList leftoverTempFiles()
{
    return QDir(tempFolder()).entryList({"ZLB*"}, QDir::Files);
}

// The files this process holds open that have no name, in `folder`.
QStringList unnamedOpenFilesIn(const QString &folder)
{
    QStringList found;
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.startsWith(folder + "/") && target.endsWith(" (deleted)"))
            found << target;
    }
    return found;
}

// A folder of source files with the given names and contents.
QString sources(const QString &name, const std::vector<std::pair<QString, QByteArray>> &files)
{
    const QString folder = testenv::freshDir(name);
    for (const auto &[file, bytes] : files)
        testenv::writeFile(folder + "/" + file, bytes);
    return folder;
}

QStringList entryNames(TZLBArchive &zlb)
{
    QStringList names;
    for (int i = 0; i < zlb.FileCount(); ++i)
        names << fullName(zlb.Files(i));
    return names;
}

QString newArchive(TZLBArchive &zlb, const QString &folder = "archives")
{
    const QString path = testenv::freshDir(folder) + "/test.zlb";
    zlb.CreateArchive(path);
    return path;
}

// A random-access device whose bytes differ on every pass from its start: a file that
// changes while it is read.
class ChangingDevice : public QIODevice
{
public:
    explicit ChangingDevice(qint64 size, qint64 growBy = 0)
        : m_size(size)
        , m_growBy(growBy)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override
    {
        if (pos == 0)
            ++m_pass;
        return QIODevice::seek(pos);
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 end = m_size + m_growBy;
        const qint64 count = std::min(max, end - pos());
        const QByteArray bytes = noise(static_cast<int>(count), static_cast<quint32>(pos() + 7919 * m_pass));
        std::copy(bytes.cbegin(), bytes.cend(), data);
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_size;
    qint64 m_growBy;
    int m_pass = 0;
};

TEST(ZlbChange, CreateWritesNothingUntilTheFirstAdd)
{
    TZLBArchive zlb;
    Recorder recorder(zlb);
    const QString path = newArchive(zlb);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(zlb.FileCount(), 0);
    const QString folder = sources("create", {{"one.txt", "one"}});
    zlb.AddFile(folder + "/one.txt");
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(entryNames(zlb), QStringList{"one.txt"});
    EXPECT_EQ(recorder.events, QStringList({"opened", "opened"}));
    TZLBArchive again;
    EXPECT_EQ(errorOf([&] { again.CreateArchive(path); }), "File already exists");
    EXPECT_TRUE(again.ArchiveName().isEmpty());
}

TEST(ZlbChange, OpeningAnEmptyNameLeavesNoArchiveOpen)
{
    TZLBArchive zlb;
    newArchive(zlb);
    EXPECT_FALSE(zlb.OpenArchive(""));
    EXPECT_EQ(errorOf([&] { zlb.FileCount(); }), "No archive is currently open");
    EXPECT_EQ(errorOf([&] { zlb.OpenArchive(testenv::root() + "/none.zlb"); }), "Archive file not found");
}

TEST(ZlbChange, AddFileRefusesADuplicateWhileAddFilesStoresItAgain)
{
    const QString folder = sources("dup", {{"a.txt", "first"}});
    TZLBArchive zlb;
    Recorder recorder(zlb);
    newArchive(zlb);
    zlb.AddFile(folder + "/a.txt");
    EXPECT_EQ(errorOf([&] { zlb.AddFile(folder + "/A.TXT"); }), "File already exists");
    testenv::writeFile(folder + "/a.txt", "second");
    QStringList list{folder + "/a.txt"};
    zlb.AddFiles(list);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(entryNames(zlb), QStringList({"a.txt", "a.txt"}));
    EXPECT_TRUE(recorder.events.contains("error: " + folder + "/a.txt already exists in the archive"));
    EXPECT_EQ(zlb.FileInArchive("a.txt"), 0) << "lookups find the earlier entry";
    EXPECT_EQ(extracted(zlb, 1), QByteArray("second"));
}

TEST(ZlbChange, AddFileThatCannotBeOpenedChangesNothing)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    ASSERT_TRUE(zlb.OpenArchive(path));
    Recorder recorder(zlb);
    const QByteArray before = testenv::readFile(path);
    const QString missing = testenv::root() + "/missing.txt";
    EXPECT_EQ(errorOf([&] { zlb.AddFile(missing); }), "");
    EXPECT_EQ(testenv::readFile(path), before);
    EXPECT_EQ(entryNames(zlb), QStringList({"a.txt", "\\Data\\b.txt"}));
    EXPECT_EQ(recorder.events, QStringList{"error: Unable to open file (" + missing + ")"});
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbChange, AddFilesLogsWhatItCannotOpenAndGoesOn)
{
    const QString folder = sources("partly", {{"good.txt", "good"}});
    TZLBArchive zlb;
    Recorder recorder(zlb);
    newArchive(zlb);
    QStringList list{folder + "/bad.txt", folder + "/good.txt"};
    zlb.AddFiles(list);
    EXPECT_EQ(entryNames(zlb), QStringList{"good.txt"});
    EXPECT_TRUE(recorder.events.contains("error: Unable to open file (" + folder + "/bad.txt)"));
}

TEST(ZlbChange, FoldersAreKeptWithoutTheDriveRule)
{
    const QString folder = sources("keep", {{"sub/x.txt", "x"}});
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    newArchive(zlb);
    zlb.AddFile(folder + "/sub/x.txt");
    QString expected = folder + "/sub/";
    expected.replace('/', '\\');
    EXPECT_EQ(shortStringText(zlb.Files(0).path), expected);
    EXPECT_EQ(zlb.FileInArchive(folder + "/sub/x.txt"), 0);
    EXPECT_EQ(zlb.FileInArchive("C:" + folder + "/sub/X.TXT"), 0) << "with folders kept the drive is dropped";
    EXPECT_EQ(zlb.FileInArchive("x.txt"), -1);
}

TEST(ZlbChange, BackslashInAStoredLinuxNameIsRefused)
{
    const QString folder = sources("backslash", {{"we\\ird.txt", "w"}, {"o\\dd/plain.txt", "p"}});
    TZLBArchive zlb;
    newArchive(zlb);
    EXPECT_TRUE(errorOf([&] { zlb.AddFile(folder + "/we\\ird.txt"); }).contains("holds a \"\\\""));
    zlb.AddFile(folder + "/o\\dd/plain.txt");
    EXPECT_EQ(entryNames(zlb), QStringList{"plain.txt"}) << "an unkept folder may hold one";
    zlb.SetSavePaths(true);
    EXPECT_TRUE(errorOf([&] { zlb.AddFile(folder + "/o\\dd/plain.txt"); }).contains("holds a \"\\\""));
    EXPECT_EQ(zlb.FileCount(), 1);
}

TEST(ZlbChange, RecursingWithFoldersKeptTakesEachFileOnce)
{
    const QString folder = sources("tree", {{"top.txt", "t"}, {"a/one.txt", "1"}, {"a/b/two.txt", "2"}, {"a/b/c/three.txt", "3"}});
    TZLBArchive zlb;
    Recorder recorder(zlb);
    zlb.SetSavePaths(true);
    zlb.SetRecursePaths(true);
    newArchive(zlb);
    QStringList list{folder};
    zlb.AddFiles(list);
    QStringList names = entryNames(zlb);
    names.sort();
    QString base = folder;
    base.replace('/', '\\');
    EXPECT_EQ(names, QStringList({base + "\\a\\b\\c\\three.txt", base + "\\a\\b\\two.txt", base + "\\a\\one.txt",
                                  base + "\\top.txt"}));
    EXPECT_EQ(recorder.events.filter("error"), QStringList());
}

TEST(ZlbChange, RecursionStoresASubFoldersFilesBeforeTheFolderOwn)
{
    const QString folder = sources("deepfirst", {{"one.txt", "1"}, {"sub/two.txt", "2"}, {"sub/deeper/three.txt", "3"}});
    QString base = folder;
    base.replace('/', '\\');
    const struct
    {
        bool savePaths;
        QStringList names;
    } cases[] = {
        {false, {"three.txt", "two.txt", "one.txt"}},
        {true, {base + "\\sub\\deeper\\three.txt", base + "\\sub\\two.txt", base + "\\one.txt"}},
    };
    for (const auto &c : cases) {
        TZLBArchive zlb;
        zlb.SetRecursePaths(true);
        zlb.SetSavePaths(c.savePaths);
        newArchive(zlb, "deepfirst-archive");
        QStringList list{folder};
        zlb.AddFiles(list);
        EXPECT_EQ(entryNames(zlb), c.names) << c.savePaths;
        for (int i = 0; i < zlb.FileCount(); ++i)
            EXPECT_EQ(zlb.Files(i).start, i == 0 ? 0 : zlb.Files(i - 1).start + zlb.Files(i - 1).csize);
    }
}

TEST(ZlbChange, FoldersAreDroppedWithoutRecursion)
{
    const QString folder = sources("norecurse", {{"f.txt", "f"}, {"sub/g.txt", "g"}});
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    newArchive(zlb);
    QStringList list{folder + "/sub", folder + "/f.txt"};
    zlb.AddFiles(list);
    EXPECT_EQ(zlb.FileCount(), 1);
    EXPECT_TRUE(fullName(zlb.Files(0)).endsWith("\\f.txt"));

    QStringList expanded;
    zlb.ExpandFolder(folder + "/", expanded);
    expanded.sort();
    EXPECT_EQ(expanded, QStringList({folder + "/f.txt", folder + "/sub"})) << "unexpanded folders are queued";
}

TEST(ZlbChange, LinkedFoldersAreNotFollowedWhenExpanding)
{
    const QString folder = sources("loop", {{"f.txt", "f"}});
    ASSERT_TRUE(QFile::link(folder, folder + "/again"));
    TZLBArchive zlb;
    zlb.SetRecursePaths(true);
    QStringList expanded;
    zlb.ExpandFolder(folder, expanded);
    EXPECT_EQ(expanded, QStringList{folder + "/f.txt"});
}

TEST(ZlbChange, UpdateFileReplacesOneBlockAndCopiesTheOthers)
{
    const QString folder = sources("update", {{"a.txt", text(50)}, {"b.txt", "small"}, {"c.bin", noise(3000)}});
    TZLBArchive zlb;
    Recorder recorder(zlb);
    newArchive(zlb);
    QStringList list{folder + "/a.txt", folder + "/b.txt", folder + "/c.bin"};
    zlb.AddFiles(list);
    testenv::writeFile(folder + "/b.txt", text(300));
    zlb.UpdateFile(folder + "/b.txt", 1);
    EXPECT_EQ(entryNames(zlb), QStringList({"a.txt", "b.txt", "c.bin"}));
    zlb.SetCheckCRC(true);
    EXPECT_EQ(extracted(zlb, 0), text(50));
    EXPECT_EQ(extracted(zlb, 1), text(300));
    EXPECT_EQ(extracted(zlb, 2), noise(3000));
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(zlb.Files(i).start, zlb.Files(i - 1).start + zlb.Files(i - 1).csize);
    EXPECT_TRUE(recorder.progressTexts().contains("Updating " + folder + "/b.txt") || zlb.Files(1).csize < 65536);
    EXPECT_EQ(errorOf([&] { zlb.UpdateFile(folder + "/b.txt", 0); }), "File not found in archive");
    QBuffer stream;
    stream.open(QIODevice::ReadOnly);
    EXPECT_EQ(errorOf([&] { zlb.UpdateStream("nope.txt", stream); }), "File not found in archive");
}

TEST(ZlbChange, UpdateStreamReplacesTheNamedEntry)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(copySample("archive_format", "two_entries.zlb")));
    zlb.SetSavePaths(true);
    QBuffer stream;
    stream.setData("new content");
    stream.open(QIODevice::ReadOnly);
    stream.seek(4);
    zlb.UpdateStream("/data/B.txt", stream);
    EXPECT_EQ(extracted(zlb, 1), QByteArray("new content")) << "the whole stream, from its first byte";
    EXPECT_EQ(fullName(zlb.Files(1)), "\\Data\\b.txt");
}

TEST(ZlbChange, UpdateFilesLeavesUnmatchedFilesInTheList)
{
    const QString folder = sources("updfiles", {{"a.txt", "a1"}, {"b.txt", "b1"}});
    TZLBArchive zlb;
    newArchive(zlb);
    QStringList add{folder + "/a.txt", folder + "/b.txt"};
    zlb.AddFiles(add);
    testenv::writeFile(folder + "/b.txt", "b2");
    testenv::writeFile(folder + "/unknown.txt", "u");
    QStringList list{folder + "/unknown.txt", folder + "/B.TXT"};
    testenv::writeFile(folder + "/B.TXT", "B2");
    zlb.UpdateFiles(list);
    EXPECT_EQ(list, QStringList{folder + "/unknown.txt"});
    EXPECT_EQ(extracted(zlb, 0), QByteArray("a1"));
    EXPECT_EQ(extracted(zlb, 1), QByteArray("B2"));
    EXPECT_EQ(entryNames(zlb), QStringList({"a.txt", "b.txt"}));
}

TEST(ZlbChange, UpdateFilesStopsWholeWhenAMatchedFileCannotBeRead)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    ASSERT_TRUE(zlb.OpenArchive(path));
    Recorder recorder(zlb);
    const QByteArray before = testenv::readFile(path);
    QStringList list{testenv::root() + "/nowhere/a.txt"};
    zlb.UpdateFiles(list);
    EXPECT_EQ(list, QStringList{testenv::root() + "/nowhere/a.txt"}) << "an item leaves the list only once stored";
    EXPECT_EQ(testenv::readFile(path), before);
    EXPECT_EQ(recorder.events, QStringList{"error: Unable to open file (" + path + ")"});
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbChange, DeleteFilesMatchesByFolderAndNameWithTheDriveDropped)
{
    const struct
    {
        bool savePaths;
        const char *item;
        bool deleted;
    } cases[] = {
        {false, "a.txt", true},          {false, "A.TXT", true},         {false, "/src/a.txt", false},
        {false, "C:a.txt", false},       {true, "\\src\\a.txt", true},   {true, "/SRC/a.txt", true},
        {true, "C:\\src\\a.txt", true},  {true, "a.txt", false},         {true, "\\other\\a.txt", false},
    };
    for (const auto &c : cases) {
        TZLBArchive zlb;
        zlb.SetSavePaths(c.savePaths);
        newArchive(zlb, "delete");
        for (const char *name : {"a", "b"}) {
            QBuffer stream;
            stream.setData(name);
            stream.open(QIODevice::ReadOnly);
            zlb.AddStream(QString("\\src\\%1.txt").arg(name), stream);
        }
        QStringList list{c.item, "unmatched.txt"};
        zlb.DeleteFiles(list);
        EXPECT_EQ(zlb.FileCount(), c.deleted ? 1 : 2) << c.item;
        EXPECT_EQ(list.size(), c.deleted ? 1 : 2) << c.item;
        EXPECT_EQ(extracted(zlb, zlb.FileCount() - 1), QByteArray("b")) << c.item;
    }
}

TEST(ZlbChange, DeleteFilesRaisesItsFailures)
{
    TZLBArchive zlb;
    newArchive(zlb);
    QStringList list{"x"};
    EXPECT_TRUE(errorOf([&] { zlb.DeleteFiles(list); }).startsWith("Unable to open file ("));
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbChange, RenameToABareNameStoresASingleBackslash)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(copySample("archive_format", "two_entries.zlb")));
    zlb.RenameFileByName("\\data\\b.txt", "c.txt");
    EXPECT_EQ(shortStringText(zlb.Files(1).path), "\\");
    EXPECT_EQ(zlb.FileInArchive("c.txt"), -1);
    EXPECT_EQ(zlb.FileInArchive("\\c.txt"), 1);
    zlb.RenameFileByName("a.txt", "new/folder/d.txt");
    EXPECT_EQ(fullName(zlb.Files(0)), "new\\folder\\d.txt");
    EXPECT_EQ(extracted(zlb, 0).left(9), QByteArray("The quick"));
}

TEST(ZlbChange, RenameOfAnUnknownNameDoesNothing)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    ASSERT_TRUE(zlb.OpenArchive(path));
    const QByteArray before = testenv::readFile(path);
    EXPECT_EQ(errorOf([&] { zlb.RenameFileByName("nope.txt", "x.txt"); }), "");
    EXPECT_EQ(testenv::readFile(path), before);
}

TEST(ZlbChange, SourceChangingWhileReadIsNotStoredWrong)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    ASSERT_TRUE(zlb.OpenArchive(path));
    Recorder recorder(zlb);
    const QByteArray before = testenv::readFile(path);
    // Above 20 MiB and incompressible: the block is the source read a second time, which
    // differs, so the entry is refused.
    ChangingDevice big(BlockOptions::SpillThreshold + 1);
    zlb.AddStream("big.bin", big);
    EXPECT_EQ(testenv::readFile(path), before);
    EXPECT_EQ(zlb.FileCount(), 2);
    EXPECT_EQ(recorder.events, QStringList{"error: big.bin changed while it was read"});

    // A smaller one is read once, into memory, and stored as read, checksum and all;
    // so is one that grows while it is read, at any level.
    zlb.SetCheckCRC(true);
    ChangingDevice changing(5000);
    zlb.AddStream("changing.bin", changing);
    ChangingDevice growing(100, 900);
    zlb.AddStream("growing.bin", growing);
    zlb.SetCompressionLevel(fcNone);
    ChangingDevice grown(100, 900);
    zlb.AddStream("grown.bin", grown);
    ASSERT_EQ(zlb.FileCount(), 5);
    EXPECT_EQ(recorder.events.filter("error").size(), 1);
    const qint32 sizes[] = {5000, 1000, 1000};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(zlb.Files(2 + i).osize, sizes[i]) << i;
        EXPECT_EQ(extracted(zlb, 2 + i).size(), sizes[i]) << i;
    }
}

TEST(ZlbChange, EntryOf2GiBIsRefusedBeforeAnythingIsWritten)
{
    const QString folder = testenv::freshDir("huge");
    QFile huge(folder + "/huge.bin");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(1) << 31)); // sparse: no space used
    huge.close();
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    ASSERT_TRUE(zlb.OpenArchive(path));
    Recorder recorder(zlb);
    const QByteArray before = testenv::readFile(path);
    EXPECT_EQ(errorOf([&] { zlb.AddFile(folder + "/huge.bin"); }),
              folder + "/huge.bin reaches 2 GiB, more than an archive entry can hold");
    QStringList list{folder + "/huge.bin"};
    zlb.AddFiles(list);
    EXPECT_EQ(recorder.events.filter("error"),
              QStringList{"error: " + folder + "/huge.bin reaches 2 GiB, more than an archive entry can hold"});
    EXPECT_EQ(testenv::readFile(path), before);
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbChange, ArchiveReaching2GiBIsRefusedAndNothingOfTheBlockStays)
{
    QFile file(testenv::freshDir("limit") + "/new.zlb");
    ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    ArchiveWriter writer(file, "new.zlb", 4000);
    writer.append(QByteArray(1000, 'x'));
    QBuffer source;
    source.setData(noise(2500));
    source.open(QIODevice::ReadOnly);
    BlockOptions options;
    options.sourceName = "n.bin";
    options.reserve = 1000;
    TZLBFileRec rec;
    BlockStore blocks(fcDefault);
    try {
        blocks.store(source, writer, options, rec);
        FAIL() << "stored past the limit";
    } catch (const LimitError &e) {
        EXPECT_EQ(e.message(), "The archive new.zlb would reach 2 GiB, more than the format can hold");
    }
    EXPECT_EQ(writer.size(), 1000);
    writer.sync();
    EXPECT_EQ(file.size(), 1000);
    options.reserve = 0;
    blocks.store(source, writer, options, rec);
    EXPECT_EQ(writer.size(), 3500);
}

TEST(ZlbChange, FailedWriteKeepsTheBlocksBeforeItForTheNextWrite)
{
    // Small blocks wait in the writer's buffer; when the write that takes them out fails
    // (here the file may not grow past 500 bytes), the block being stored is rolled back
    // and the ones before it still reach the file with the next write.
    QFile file(testenv::freshDir("failedwrite") + "/new.zlb");
    ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    ArchiveWriter writer(file, "new.zlb");
    const QByteArray before = text(1000);
    writer.append(before);
    const ArchiveWriter::Mark mark = writer.mark();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit normal = limit;
    limit.rlim_cur = 500;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_THROW(writer.append(QByteArray(ArchiveWriter::BufferSize, 'b')), platform::Error);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &normal), 0);
    EXPECT_EQ(file.size(), 0) << "nothing half written stays";
    writer.rollBack(mark);
    writer.append("after");
    writer.sync();
    file.seek(0);
    EXPECT_TRUE(file.readAll() == before + "after");
    EXPECT_EQ(writer.checksum(), crcOf(before + "after"));
}

TEST(ZlbChange, BigSourcesAreCompressedThroughAScratchFileWithoutAName)
{
    TZLBArchive zlb;
    zlb.SetCompressionLevel(fcFastest);
    // The most scratch files open at once while a source is compressed.
    qsizetype scratch = 0;
    zlb.OnProgress = [&](const QString &, int) {
        scratch = std::max(scratch, unnamedOpenFilesIn(tempFolder()).size());
    };
    newArchive(zlb);
    QByteArray big = text(1);
    big = big.repeated(20971520 / big.size() + 1);
    QBuffer stream;
    stream.setData(big);
    stream.open(QIODevice::ReadOnly);
    zlb.AddStream("big.txt", stream);
    EXPECT_EQ(scratch, 1) << "the compressed form";
    scratch = 0;
    QBuffer smaller;
    smaller.setData(big.left(20971520));
    smaller.open(QIODevice::ReadOnly);
    zlb.AddStream("small.txt", smaller);
    EXPECT_EQ(scratch, 0);
    EXPECT_EQ(QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    zlb.SetCheckCRC(true);
    EXPECT_EQ(extracted(zlb, 0), big);
}

TEST(ZlbChange, ReplacedArchiveKeepsItsPermissions)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(chmod(native.constData(), 0640), 0);
    ASSERT_TRUE(zlb.OpenArchive(path));
    zlb.RenameFileByName("a.txt", "z.txt");
    struct stat info {};
    ASSERT_EQ(stat(native.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(fullName(zlb.Files(0)), "\\z.txt");
}

TEST(ZlbChange, TheNewArchiveIsWrittenBesideTheOldOneNotInTheTemporaryFolder)
{
    struct Counting : TZLBArchive
    {
        int created = 0;
        QString CreateTempFile() override
        {
            ++created;
            return TZLBArchive::CreateTempFile();
        }
    };
    Counting zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    const QString folder = QFileInfo(path).path();
    ASSERT_TRUE(zlb.OpenArchive(path));
    // While the new archive is written, it is open in the archive's folder without a name.
    QStringList unnamed;
    zlb.OnProgress = [&](const QString &, int) { unnamed << unnamedOpenFilesIn(folder); };
    zlb.RenameFileByName("a.txt", "moved.txt");
    EXPECT_EQ(fullName(zlb.Files(0)), "\\moved.txt");
    EXPECT_FALSE(unnamed.isEmpty());
    EXPECT_EQ(zlb.created, 0);
    EXPECT_EQ(QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"two_entries.zlb"});
}

TEST(ZlbChange, FailedReplaceKeepsBothArchivesAndSaysWhere)
{
    TZLBArchive zlb;
    const QString path = copySample("archive_format", "two_entries.zlb");
    const QString folder = QFileInfo(path).path();
    ASSERT_TRUE(zlb.OpenArchive(path));
    const QByteArray before = testenv::readFile(path);
    // An immutable folder refuses the rename even to root.
    if (QProcess::execute("chattr", {"+i", folder}) != 0)
        GTEST_SKIP() << "chattr +i is not available here";
    const QString error = errorOf([&] { zlb.RenameFileByName("a.txt", "z.txt"); });
    QProcess::execute("chattr", {"-i", folder});
    ASSERT_TRUE(error.startsWith("Unable to replace " + path)) << error.toStdString();
    const QString kept = error.mid(error.lastIndexOf(" kept as ") + 9);
    EXPECT_EQ(testenv::readFile(path), before);
    EXPECT_EQ(fullName(zlb.Files(0)), "a.txt") << "the component still shows the old archive";
    TZLBArchive keptArchive;
    ASSERT_TRUE(keptArchive.OpenArchive(kept));
    EXPECT_EQ(fullName(keptArchive.Files(0)), "\\z.txt");
}

TEST(ZlbChange, ANewArchiveThatCannotTakeItsPlaceIsKeptInTheTemporaryFolder)
{
    TZLBArchive zlb;
    const QString path = newArchive(zlb);
    // Something that is no file took the name meanwhile: the rename over it fails.
    ASSERT_TRUE(QDir().mkpath(path));
    QBuffer stream;
    stream.setData("kept");
    stream.open(QIODevice::ReadOnly);
    const QString error = errorOf([&] { zlb.AddStream("a.txt", stream); });
    ASSERT_TRUE(error.startsWith("Unable to replace " + path)) << error.toStdString();
    const QString kept = error.mid(error.lastIndexOf(" kept as ") + 9);
    EXPECT_TRUE(kept.startsWith(tempFolder() + "/ZLB")) << kept.toStdString();
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    TZLBArchive keptArchive;
    ASSERT_TRUE(keptArchive.OpenArchive(kept));
    EXPECT_EQ(extracted(keptArchive, 0), "kept");
}

} // namespace
