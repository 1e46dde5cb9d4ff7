// ExtractAll with its files written on a thread of their own: the files, the events and
// their order, and the failure are those of one thread, and nothing after a failure is
// written.
#include "archive_test_support.h"

#include <QFileInfo>

#include <thread>

using namespace archive;
using namespace archivetest;

namespace {

// Entries with what the writer thread must keep apart: many small files, empty ones,
// stored ones, one too large to be handed over whole in the middle, and the same name in
// several folders (one file when extracted without folders: the last one wins).
QString makeArchive()
{
    const QString path = testenv::freshDir("queued-archive") + "/a.zlb";
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    zlb.CreateArchive(path);
    const auto add = [&](const QString &name, const QByteArray &bytes) {
        QBuffer source;
        source.setData(bytes);
        source.open(QIODevice::ReadOnly);
        zlb.AddStream(name, source);
    };
    for (int i = 0; i < 90; ++i) {
        const QString folder = QString("\\d%1\\").arg(i % 7);
        if (i % 11 == 0)
            add(folder + QString("empty%1").arg(i), QByteArray());
        else if (i % 13 == 0)
            add(folder + QString("noise%1.bin").arg(i), noise(100 + i * 50, static_cast<quint32>(i)));
        else
            add(folder + QString("t%1.txt").arg(i), text(1 + i * 3));
        if (i % 30 == 0)
            add(folder + "same.txt", text(i + 2));
        if (i == 45)
            add("\\big\\large.txt", text(12000));
    }
    return path;
}

// Changes one byte of an entry's block, keeping the archive's own checksum right.
void damage(const QString &path, int index, qint64 fromEnd)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(path));
    const TZLBFileRec rec = zlb.Files(index);
    zlb.CloseArchive();
    QByteArray file = testenv::readFile(path);
    file[rec.start + rec.csize - fromEnd] = static_cast<char>(file[rec.start + rec.csize - fromEnd] ^ 0x55);
    testenv::writeFile(path, withFixedCrc(file));
}

struct Extraction
{
    QString error;
    QStringList events;
    std::vector<std::pair<QString, int>> progress;
    QMap<QString, QByteArray> files;
    int foreign = 0;
};

// Extracts every entry into a fresh folder that `prepare` may fill first.
Extraction extractAll(const QString &archive, int threads, bool withPath, bool checkCrc,
                      const std::function<void(const QString &)> &prepare = {})
{
    const QString out = testenv::freshDir(QString("queued-out-%1").arg(threads));
    if (prepare)
        prepare(out);
    TZLBArchive zlb;
    EXPECT_TRUE(zlb.OpenArchive(archive));
    zlb.SetThreads(threads);
    zlb.SetExtractWithPath(withPath);
    zlb.SetCheckCRC(checkCrc);
    Recorder recorder(zlb);
    zlb.OnReplaceFile = nullptr;
    Extraction result;
    const std::thread::id owner = std::this_thread::get_id();
    const auto extracted = zlb.OnFileExtracted;
    zlb.OnFileExtracted = [&](const QString &name) {
        result.foreign += std::this_thread::get_id() != owner;
        extracted(name);
    };
    const auto progress = zlb.OnProgress;
    zlb.OnProgress = [&](const QString &text, int percent) {
        result.foreign += std::this_thread::get_id() != owner;
        progress(text, percent);
    };
    result.error = errorOf([&] { zlb.ExtractAll(out); });
    result.events = recorder.events;
    result.progress = recorder.progress;
    for (QString &line : result.events)
        line.replace(out, "OUT");
    result.error.replace(out, "OUT");
    for (const QString &name : filesBelow(out))
        result.files[name] = testenv::readFile(out + "/" + name);
    return result;
}

void expectSameAsOneThread(const QString &archive, bool withPath, bool checkCrc,
                           const std::function<void(const QString &)> &prepare, const std::string &what)
{
    const Extraction one = extractAll(archive, 1, withPath, checkCrc, prepare);
    for (int threads : {2, 8}) {
        const Extraction other = extractAll(archive, threads, withPath, checkCrc, prepare);
        const std::string where = what + ", " + std::to_string(threads) + " threads";
        EXPECT_EQ(other.error, one.error) << where;
        EXPECT_EQ(other.events, one.events) << where;
        EXPECT_EQ(other.progress, one.progress) << where;
        EXPECT_EQ(other.files.keys(), one.files.keys()) << where;
        EXPECT_TRUE(other.files == one.files) << where << ": contents differ";
        EXPECT_EQ(other.foreign, 0) << where << ": events ran on another thread";
    }
}

TEST(ZlbExtractAll, WriterThreadGivesTheFilesAndEventsOfOneThread)
{
    const QString archive = makeArchive();
    for (bool withPath : {true, false}) {
        const Extraction one = extractAll(archive, 1, withPath, true);
        EXPECT_EQ(one.error, QString());
        EXPECT_EQ(one.events.size(), 94);
        EXPECT_EQ(one.files.size(), withPath ? 94 : 92);
        expectSameAsOneThread(archive, withPath, true, {}, withPath ? "with folders" : "without folders");
    }
}

TEST(ZlbExtractAll, FirstFailureEndsTheExtractionAsWithOneThread)
{
    const QString archive = makeArchive();
    // Damage in the second half: a compressed entry's stream, a stored entry's bytes.
    TZLBArchive probe;
    ASSERT_TRUE(probe.OpenArchive(archive));
    const auto laterEntry = [&](bool compressed) {
        int index = 60;
        while (probe.Files(index).osize == 0 || (probe.Files(index).Status == fsCompressed) != compressed)
            ++index;
        return index;
    };
    const int compressed = laterEntry(true);
    const int stored = laterEntry(false);
    const QString damagedDir = testenv::freshDir("queued-damaged");
    const QString deflateDamaged = damagedDir + "/deflate.zlb";
    QFile::copy(archive, deflateDamaged);
    damage(deflateDamaged, compressed, 1);
    const QString storedDamaged = damagedDir + "/stored.zlb";
    QFile::copy(archive, storedDamaged);
    damage(storedDamaged, stored, 5);
    const QString entry40 = QString(shortStringText(probe.Files(40).path) + shortStringText(probe.Files(40).name))
                                .replace('\\', '/');
    const struct
    {
        const char *what;
        QString archive;
        bool checkCrc;
        std::function<void(const QString &)> prepare;
        QString error;
    } cases[] = {
        {"damaged stream", deflateDamaged, false, {}, QString("File (%1) is corrupt").arg(compressed)},
        {"stored bytes fail the checksum", storedDamaged, true, {}, QString("File (%1) is corrupt").arg(stored)},
        // A folder where a file goes, a file where a folder goes.
        {"file cannot be made", archive, false,
         [&](const QString &out) { QDir().mkpath(out + "/" + entry40); },
         "Unable to create file"},
        {"folder cannot be made", archive, false, [](const QString &out) { testenv::writeFile(out + "/d4", "x"); },
         "Unable to create destination path"},
    };
    for (const auto &c : cases) {
        const Extraction one = extractAll(c.archive, 1, true, c.checkCrc, c.prepare);
        EXPECT_TRUE(one.error.startsWith(c.error)) << c.what << ": " << one.error.toStdString();
        EXPECT_LT(one.files.size(), 90) << c.what << ": the files after the failure are not written";
        expectSameAsOneThread(c.archive, true, c.checkCrc, c.prepare, c.what);
    }
}

TEST(ZlbExtractAll, HandlerThatRaisesStopsTheWriter)
{
    const QString archive = makeArchive();
    const QString out = testenv::freshDir("queued-abort");
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(archive));
    zlb.SetThreads(2);
    zlb.SetExtractWithPath(true);
    int extracted = 0;
    zlb.OnFileExtracted = [&](const QString &) {
        if (++extracted == 10)
            throw platform::Error("stop");
    };
    EXPECT_EQ(errorOf([&] { zlb.ExtractAll(out); }), "stop");
    EXPECT_EQ(extracted, 10);
    // Files handed to the writer before the handler raised may be on disk; no more.
    const qsizetype written = filesBelow(out).size();
    EXPECT_GE(written, 10);
    EXPECT_LE(written, 10 + 33);
}

} // namespace
