// Compressing on worker threads: the archive, the events and the failures are the same
// as with one thread, whatever the number of threads.
#include "archive/blockpipeline.h"
#include "archive/blockstore.h"
#include "archive_test_support.h"

#include <QFileInfo>

#include <thread>

#include <sys/stat.h>

using namespace archive;
using namespace archivetest;

namespace {

// Compared with the outcome of one thread.
const int ThreadCounts[] = {2, 8};

QStringList leftoverTempFiles()
{
    return QDir(QDir::tempPath()).entryList({"ZLB*"}, QDir::Files);
}

// Events of a component as lines, and whether every one ran on the thread that made it.
struct ThreadRecorder : Recorder
{
    std::thread::id owner = std::this_thread::get_id();
    int foreign = 0;

    explicit ThreadRecorder(TZLBArchive &zlb)
        : Recorder(zlb)
    {
        const auto progress = zlb.OnProgress;
        zlb.OnProgress = [this, progress](const QString &m, int p) {
            check();
            progress(m, p);
        };
        const auto errors = zlb.OnErrorLogged;
        zlb.OnErrorLogged = [this, errors](const QString &m) {
            check();
            errors(m);
        };
        const auto opened = zlb.OnArchiveOpened;
        zlb.OnArchiveOpened = [this, opened](TZLBArchive &a) {
            check();
            opened(a);
        };
    }
    void check()
    {
        if (std::this_thread::get_id() != owner)
            ++foreign;
    }
};

// A tree of sources with what the parallel path must keep apart: empty files, files that
// do not compress (stored plain), sources above 20 MiB that compress and that do not,
// and the same file name in several folders.
QString makeTree(bool big)
{
    const QString folder = testenv::freshDir("tree");
    for (int i = 0; i < 40; ++i)
        testenv::writeFile(folder + QString("/text/t%1.txt").arg(i), text(50 + i * 97));
    for (int i = 0; i < 6; ++i) {
        testenv::writeFile(folder + QString("/empty/e%1").arg(i), QByteArray());
        testenv::writeFile(folder + QString("/noise/n%1.bin").arg(i), noise(1000 + i * 40000, i + 1));
        testenv::writeFile(folder + QString("/same/%1/name.txt").arg(i), text(i + 1));
    }
    if (big) {
        const QByteArray line = text(1);
        testenv::writeFile(folder + "/big/text.txt", line.repeated(BlockOptions::SpillThreshold / line.size() + 2));
        testenv::writeFile(folder + "/big/noise.bin", noise(BlockOptions::SpillThreshold + 4096, 99));
    }
    return folder;
}

// Many small sources behind a source above 20 MiB that does not compress: the workers
// run ahead of it while the caller waits for it.
QString makeManyTree()
{
    const QString folder = testenv::freshDir("many");
    testenv::writeFile(folder + "/big/noise.bin", noise(BlockOptions::SpillThreshold + 4096, 7));
    for (int i = 0; i < 600; ++i) {
        const QString name = folder + QString("/small/d%1/f%2").arg(i % 30).arg(i);
        testenv::writeFile(name, i % 10 == 0 ? QByteArray(i % 20 == 0 ? 0 : 1, 'x') : i % 3 == 0 ? noise(i, i) : text(i % 400));
    }
    return folder;
}

struct Outcome
{
    QByteArray archive;
    QStringList events;
    std::vector<std::pair<QString, int>> progress;
    QStringList list;
    int foreign = 0;
};

// Adds `items` to a new archive (or updates an existing copy of `start`) with `threads`.
Outcome run(int threads, TFileCompressionLevel level, const QStringList &items, bool savePaths,
            const QByteArray &start = QByteArray())
{
    const QString path = testenv::freshDir(QString("archive-%1").arg(threads)) + "/a.zlb";
    TZLBArchive zlb;
    zlb.SetThreads(threads);
    zlb.SetCompressionLevel(level);
    zlb.SetRecursePaths(true);
    zlb.SetSavePaths(savePaths);
    if (start.isEmpty()) {
        zlb.CreateArchive(path);
    } else {
        testenv::writeFile(path, start);
        EXPECT_TRUE(zlb.OpenArchive(path));
    }
    ThreadRecorder recorder(zlb);
    QStringList list = items;
    if (start.isEmpty())
        zlb.AddFiles(list);
    else
        zlb.UpdateFiles(list);
    Outcome outcome{testenv::readFile(path), recorder.events, recorder.progress, list, recorder.foreign};
    // The archive's own name differs between runs; the rest must not.
    for (auto &[text, percent] : outcome.progress)
        text.replace(path, "ARCHIVE");
    for (QString &line : outcome.events)
        line.replace(path, "ARCHIVE");
    return outcome;
}

void expectSame(const Outcome &one, const Outcome &other, const std::string &what)
{
    EXPECT_TRUE(one.archive == other.archive) << what << ": archives differ";
    EXPECT_EQ(one.events, other.events) << what;
    EXPECT_EQ(one.progress, other.progress) << what;
    EXPECT_EQ(one.list, other.list) << what;
    EXPECT_EQ(other.foreign, 0) << what << ": events ran on another thread";
}

TEST(ZlbParallel, AddFilesWritesTheSameArchiveWhateverTheThreads)
{
    const QString tree = makeTree(true);
    const QString many = makeManyTree();
    const struct
    {
        TFileCompressionLevel level;
        bool savePaths;
        // The tree, one file twice, and one that cannot be read in the middle; or many
        // small files behind a big one.
        QStringList items;
        int entries;
        int duplicates;
    } cases[] = {
        {fcDefault, false, {tree, tree + "/text/t3.txt", tree + "/missing.txt", tree + "/noise/n1.bin"}, 62, 7},
        {fcNone, true, {tree, tree + "/text/t3.txt", tree + "/missing.txt", tree + "/noise/n1.bin"}, 62, 2},
        {fcFastest, true, {many + "/big", many + "/small"}, 601, 0},
    };
    for (const auto &c : cases) {
        const Outcome one = run(1, c.level, c.items, c.savePaths);
        EXPECT_EQ(trailerOf(one.archive).FileCount, c.entries);
        if (c.items.contains(tree + "/missing.txt"))
            EXPECT_TRUE(one.events.contains("error: Unable to open file (" + tree + "/missing.txt)"));
        else
            EXPECT_EQ(one.events.filter("error").size(), c.duplicates);
        // Without folders the six "name.txt" are duplicates; with them only the file given twice.
        EXPECT_EQ(one.events.filter("already exists").size(), c.duplicates);
        for (int threads : ThreadCounts)
            expectSame(one, run(threads, c.level, c.items, c.savePaths), "level " + std::to_string(c.level) + ", "
                                                                          + std::to_string(threads) + " threads");
    }
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbParallel, UpdateFilesWritesTheSameArchiveWhateverTheThreads)
{
    const QString tree = makeTree(true);
    const Outcome added = run(1, fcDefault, {tree}, true);
    // New contents for some entries, an unmatched item, and one entry's item twice.
    for (int i = 0; i < 40; i += 3)
        testenv::writeFile(tree + QString("/text/t%1.txt").arg(i), noise(5000 + i, i));
    testenv::writeFile(tree + "/big/noise.bin", text(30));
    testenv::writeFile(tree + "/empty/e2", "no longer empty");
    testenv::writeFile(tree + "/unknown.txt", "u");
    const QStringList items{tree + "/text", tree + "/big", tree + "/empty/e2", tree + "/unknown.txt", tree + "/empty/e2"};
    const Outcome one = run(1, fcDefault, items, true, added.archive);
    EXPECT_EQ(one.list, QStringList({tree + "/unknown.txt", tree + "/empty/e2"}));
    EXPECT_FALSE(one.archive == added.archive);
    for (int threads : ThreadCounts)
        expectSame(one, run(threads, fcDefault, items, true, added.archive), std::to_string(threads) + " threads");
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbParallel, FailingSourceInTheMiddleEndsTheUpdateAsWithOneThread)
{
    const QString tree = makeTree(true);
    const Outcome added = run(1, fcFastest, {tree}, true);
    testenv::writeFile(tree + "/text/t0.txt", "changed");
    // Matched by an entry, but no longer a file that can be read; the big sources after
    // it may be on a worker, in their temporary files, when it is met.
    QFile::remove(tree + "/text/t5.txt");
    ASSERT_EQ(mkfifo(QFile::encodeName(tree + "/text/t5.txt").constData(), 0600), 0);
    const QStringList items{tree + "/text/t0.txt", tree + "/text/t5.txt", tree + "/big/text.txt",
                            tree + "/big/noise.bin", tree + "/text/t7.txt"};
    const Outcome one = run(1, fcFastest, items, true, added.archive);
    EXPECT_TRUE(one.archive == added.archive) << "the old archive is untouched";
    EXPECT_EQ(one.events.filter("error"), QStringList{"error: Unable to open file (ARCHIVE)"});
    EXPECT_TRUE(one.list.contains(tree + "/text/t5.txt"));
    for (int threads : ThreadCounts) {
        expectSame(one, run(threads, fcFastest, items, true, added.archive), std::to_string(threads) + " threads");
        EXPECT_EQ(leftoverTempFiles(), QStringList()) << threads;
    }
}

TEST(ZlbParallel, LoneSourceReadAheadWritesTheSameArchive)
{
    // Read on a helper thread while compressed: a source in memory, one through a
    // temporary file, one that does not compress, and one too small to bother.
    const QByteArray line = text(1);
    const QByteArray sources[] = {text(60000), line.repeated(BlockOptions::SpillThreshold / line.size() + 2),
                                  noise(3 << 20, 7), text(100)};
    for (const QByteArray &content : sources) {
        Outcome first;
        for (int threads : {1, 2, 8}) {
            const QString path = testenv::freshDir(QString("lone-%1").arg(threads)) + "/a.zlb";
            TZLBArchive zlb;
            zlb.SetThreads(threads);
            zlb.CreateArchive(path);
            ThreadRecorder recorder(zlb);
            QBuffer buffer;
            buffer.setData(content);
            buffer.open(QIODevice::ReadOnly);
            zlb.AddStream("lone.bin", buffer);
            QBuffer changed;
            changed.setData(content.left(content.size() / 2) + "changed");
            changed.open(QIODevice::ReadOnly);
            zlb.UpdateStream("lone.bin", changed);
            Outcome outcome{testenv::readFile(path), recorder.events, recorder.progress, {}, recorder.foreign};
            for (auto &[text, percent] : outcome.progress)
                text.replace(path, "ARCHIVE");
            if (threads == 1)
                first = outcome;
            else
                expectSame(first, outcome, std::to_string(content.size()) + " bytes, " + std::to_string(threads) + " threads");
        }
    }
    EXPECT_EQ(leftoverTempFiles(), QStringList());
}

TEST(ZlbParallel, ThreadsDefaultToTheProcessors)
{
    TZLBArchive zlb;
    EXPECT_EQ(zlb.Threads(), 0);
    EXPECT_EQ(BlockPipeline::threadsFor(0), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    EXPECT_EQ(BlockPipeline::threadsFor(3), 3);
}

TEST(ZlbParallel, PipelineHandsBlocksBackInListOrderWithinItsBounds)
{
    // Many small sources and one the workers may not read: each comes back in its place.
    const QString folder = testenv::freshDir("pipeline");
    QStringList sources;
    std::vector<bool> wanted;
    // A window of 32 sources, and three times as many.
    const qint64 budget = 32 * BlockPipeline::SlotCost;
    for (int i = 0; i < 96; ++i) {
        sources << folder + QString("/f%1").arg(i);
        testenv::writeFile(sources.back(), text(i + 1));
        wanted.push_back(i != 5);
    }
    for (const auto [kind, workers] : {std::pair{BlockPipeline::Work::Prepare, 4}, {BlockPipeline::Work::ReadOnly, 1}}) {
        BlockPipeline pipeline(
            sources, wanted, fcDefault, workers,
            []() -> std::unique_ptr<QFile> { throw platform::Error("small sources need no scratch file"); }, kind,
            budget);
        for (qsizetype i = 0; i < sources.size(); ++i) {
            if (wanted[static_cast<size_t>(i)]) {
                BlockPipeline::Prepared &prepared = pipeline.take(i);
                ASSERT_FALSE(prepared.failure) << i;
                EXPECT_EQ(prepared.block.size, text(static_cast<int>(i) + 1).size()) << i;
                EXPECT_EQ(prepared.block.crc, crcOf(text(static_cast<int>(i) + 1))) << i;
                EXPECT_EQ(prepared.block.pending == PreparedBlock::Pending::Compression, kind == BlockPipeline::Work::ReadOnly)
                    << i;
            }
            pipeline.release(i);
        }
    }
}

// A block read on one thread and compressed on another is the block one thread makes,
// whatever the source: across the 256 KiB pieces a source is read in, stored plain, and
// above 20 MiB.
TEST(ZlbParallel, BlockReadAheadIsTheBlockOneThreadMakes)
{
    const QString folder = testenv::freshDir("readahead");
    const QByteArray line = text(1);
    const QByteArray contents[] = {QByteArray(),
                                   QByteArray("x"),
                                   text(100),
                                   noise(5000, 3),
                                   line.repeated((700 << 10) / line.size()),
                                   noise((600 << 10) + 17, 4),
                                   line.repeated(BlockOptions::SpillThreshold / line.size() + 2)};
    const auto spill = [&] {
        auto file = std::make_unique<QFile>(folder + "/spill");
        file->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered);
        return file;
    };
    for (const TFileCompressionLevel level : {fcNone, fcFastest, fcDefault}) {
        for (const QByteArray &content : contents) {
            const QString what = QString("level %1, %2 bytes").arg(level).arg(content.size());
            const QString source = folder + "/source";
            testenv::writeFile(source, content);
            BlockOptions options;
            options.sourceName = source;
            options.createSpillFile = spill;
            QByteArray written[2];
            TZLBFileRec records[2];
            for (int way = 0; way < 2; ++way) {
                QFile file(folder + QString("/out%1").arg(way));
                ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered));
                ArchiveWriter writer(file, file.fileName());
                BlockStore blocks(level);
                const auto opened = openSource(source);
                if (way == 0) {
                    blocks.store(*opened, writer, options, records[way]);
                } else {
                    PreparedBlock block = BlockStore(level).read(*opened, options);
                    blocks.write(block, opened.get(), writer, options, records[way]);
                }
                writer.sync();
                written[way] = testenv::readFile(file.fileName());
            }
            EXPECT_TRUE(written[0] == written[1]) << qPrintable(what);
            EXPECT_EQ(records[0].csize, records[1].csize) << qPrintable(what);
            EXPECT_EQ(records[0].CRC, records[1].CRC) << qPrintable(what);
            EXPECT_EQ(records[0].Status, records[1].Status) << qPrintable(what);
            EXPECT_EQ(records[0].CompressionLevel, records[1].CompressionLevel) << qPrintable(what);
        }
    }
}

} // namespace
