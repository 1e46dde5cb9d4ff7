// Speed and memory of the ZLB archive component against raw zlib on the same bytes,
// measured in the same run. The corpus (over 100 MB of text, binaries, already
// compressed data, empty and one-byte files) is generated in a temporary folder.
//
// Targets (ratio = component speed / raw speed):
//   AddFiles at levels 1/6/9, one thread    >= 0.9 x compress2 at the same level
//   AddFiles, one thread per processor      >= 1.6 x compress2 at levels 6 and 9, 1.3 x at level 1
//                                           (on two processors), peak RSS under 96 MiB
//   extracting a tree of 12,000 small files >= 1.3 x unzip of a zip of the same files
//   OpenArchive of 1 GB             >= 0.8 x crc32 over the same bytes
//   extracting to streams           >= 0.8 x inflate + crc32 in 4 KiB pieces
//   extracting to files             at least as fast as unzip of a zip of the same files
//   update/delete in a 1 GB archive <= 1.5 x (copy in 1 MiB pieces + two crc32 passes)
//   AddFiles of a 1 GB file, extracting a 1 GB entry: under 64 MiB resident
//   AddFiles of the corpus and a 1 GB file on every processor: under 96 MiB resident
//
// Many small files (BM_ManyFiles*, BM_ManyEntries): a generated tree shaped like a real
// system folder, and archives of 5,000 to 200,000 entries of a few bytes:
//   AddFiles of the tree, levels 1/6/9: the same ratios as the corpus, peak RSS under 96 MiB
//   zlb x of the tree                  >= 1.3 x unzip of a zip of the same files
//   zlb a/l/u/x of 200,000 entries     under 128 MiB resident each, time linear in the count
// VARDO_BENCH_QUICK=1 leaves out the 1 GB cases; --benchmark_filter='ManyFiles|ManyEntries'
// runs only the many-files cases (the corpus is then never generated).
#include "archive/blockpipeline.h"
#include "archive/zlbarchive.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>
#include <zlib.h>

#include <ctime>
#include <map>
#include <memory>

namespace {

using archive::TZLBArchive;

constexpr qint64 MiB = 1 << 20;

// ---- corpus --------------------------------------------------------------------------

QByteArray words(qint64 size, quint32 seed)
{
    static const char *vocabulary[] = {"the", "archive", "entry", "of", "and", "registry", "block", "a", "to",
                                       "checksum", "folder", "is", "with", "data", "file", "compressed", "in",
                                       "service", "organisation", "settings", "for", "stored", "name", "path"};
    QByteArray text;
    text.reserve(size);
    while (text.size() < size) {
        seed = seed * 1664525u + 1013904223u;
        text += vocabulary[(seed >> 16) % std::size(vocabulary)];
        text += (seed & 0xf) == 0 ? "\n" : " ";
        if ((seed & 0x3ff) == 7)
            text += QByteArray::number(seed % 100000);
    }
    text.truncate(size);
    return text;
}

QByteArray deflated(const QByteArray &bytes, int level)
{
    uLongf length = compressBound(bytes.size());
    QByteArray out(static_cast<qsizetype>(length), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &length, reinterpret_cast<const Bytef *>(bytes.constData()),
              bytes.size(), level);
    out.resize(static_cast<qsizetype>(length));
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

struct Corpus
{
    QTemporaryDir root{QDir::tempPath() + "/zlb-bench-XXXXXX"};
    QString folder;
    QStringList files;
    qint64 bytes = 0;
    qint64 textBytes = 0, binaryBytes = 0, compressedBytes = 0;

    Corpus()
    {
        folder = root.path() + "/corpus";
        std::fprintf(stderr, "generating the corpus\n");
        for (int i = 0; i < 60; ++i)
            add(QString("text/doc%1.txt").arg(i), words(4096 + (i * 7919 % 60) * 24 * 1024, i), textBytes);
        addBinaries();
        for (int i = 0; i < 30; ++i)
            add(QString("packed/part%1.gz").arg(i), deflated(words(2 * MiB + i * 4096, 1000 + i), 1), compressedBytes);
        for (int i = 0; i < 200; ++i) {
            add(QString("small/empty%1").arg(i), QByteArray(), textBytes);
            add(QString("small/one%1").arg(i), QByteArray(1, char('a' + i % 26)), textBytes);
        }
        while (bytes < 101 * MiB)
            add(QString("text/extra%1.txt").arg(files.size()), words(2 * MiB, files.size()), textBytes);
        // Written back now, or the kernel does it during the first measurements and takes
        // its processor time from them.
        QProcess::execute("sync", {});
        std::fprintf(stderr, "corpus: %lld MB (text %lld, binaries %lld, compressed %lld) in %lld files\n",
                     bytes / MiB, textBytes / MiB, binaryBytes / MiB, compressedBytes / MiB,
                     static_cast<long long>(files.size()));
    }

    void add(const QString &name, const QByteArray &content, qint64 &kind)
    {
        writeFile(folder + "/" + name, content);
        files << folder + "/" + name;
        bytes += content.size();
        kind += content.size();
    }

    void addBinaries()
    {
        QStringList libraries;
        QDirIterator it("/usr/lib/x86_64-linux-gnu", {"*.so*"}, QDir::Files);
        while (it.hasNext())
            libraries << it.next();
        libraries.sort();
        for (const QString &library : libraries) {
            if (binaryBytes >= 30 * MiB)
                break;
            const QFileInfo info(library);
            if (info.size() < 200 * 1024 || info.size() > 8 * MiB || info.isSymLink())
                continue;
            add("bin/" + info.fileName(), readFile(library), binaryBytes);
        }
    }
};

Corpus &corpus()
{
    static Corpus instance;
    return instance;
}

const archive::TFileCompressionLevel LevelOf[10] = {archive::fcNone, archive::fcFastest, {}, {}, {}, {},
                                                    archive::fcDefault, {}, {}, archive::fcMaximum};

double mbPerSecond(qint64 bytes, double seconds)
{
    return static_cast<double>(bytes) / MiB / seconds;
}

// Wall-clock and process CPU time of one piece of work. Both are reported: on a quiet
// machine the wall-clock ratio is the one that counts; on a shared one the CPU ratio
// shows the same comparison without the other processes' noise.
struct Timing
{
    double wall = 0;
    double cpu = 0;
    Timing &operator+=(const Timing &other)
    {
        wall += other.wall;
        cpu += other.cpu;
        return *this;
    }
    Timing per(qint64 count) const { return {wall / count, cpu / count}; }
};

template<class F>
Timing timed(F &&f)
{
    QElapsedTimer timer;
    const std::clock_t cpuStart = std::clock();
    timer.start();
    f();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

void report(benchmark::State &state, qint64 bytes, const Timing &component, const Timing &raw, double target)
{
    state.counters["MB/s"] = mbPerSecond(bytes, component.wall);
    state.counters["raw_MB/s"] = mbPerSecond(bytes, raw.wall);
    state.counters["ratio"] = raw.wall / component.wall;
    if (raw.cpu > 0)
        state.counters["cpu_ratio"] = raw.cpu / component.cpu;
    state.counters["target"] = target;
}

// Null sink for stream extraction.
class NullDevice : public QIODevice
{
public:
    NullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override { return size; }
};

std::map<int, QString> &archiveAtLevel()
{
    static std::map<int, QString> archives;
    return archives;
}

// ---- adding --------------------------------------------------------------------------

// Single-threaded compress2 over the files in memory, one stream per file, one pass.
Timing rawCompressPass(const QStringList &files, int level)
{
    Timing seconds;
    for (const QString &file : files) {
        const QByteArray bytes = readFile(file);
        std::vector<Bytef> out(compressBound(bytes.size()));
        seconds += timed([&] {
            uLongf length = out.size();
            compress2(out.data(), &length, reinterpret_cast<const Bytef *>(bytes.constData()), bytes.size(), level);
        });
    }
    return seconds;
}

void resetPeakResident();
double peakResidentMiB();

// AddFiles of `sources` into a new archive at `path`; the peak resident memory goes to
// `peak` when it is higher.
Timing addFilesOnce(const QString &path, const QStringList &sources, archive::TFileCompressionLevel level, int threads,
                    double &peak)
{
    QFile::remove(path);
    TZLBArchive zlb;
    zlb.SetCompressionLevel(level);
    zlb.SetThreads(threads);
    zlb.CreateArchive(path);
    QStringList list = sources;
    resetPeakResident();
    const Timing s = timed([&] { zlb.AddFiles(list); });
    peak = std::max(peak, peakResidentMiB());
    return s;
}

// The faster of two timings; `first` takes the other as it is.
void keepFaster(Timing &best, const Timing &other, bool first)
{
    if (first || other.wall < best.wall)
        best = other;
}

// AddFiles once per iteration: the time of the fastest.
Timing addFilesSeconds(benchmark::State &state, const QString &path, const QStringList &sources,
                       archive::TFileCompressionLevel level, int threads, double &peak)
{
    Timing best;
    bool first = true;
    for (auto _ : state) {
        const Timing s = addFilesOnce(path, sources, level, threads, peak);
        state.SetIterationTime(s.wall);
        keepFaster(best, s, first);
        first = false;
    }
    return best;
}

// Arguments: level, threads (0: one per processor). Raw zlib and the component take
// turns, and each figure is the fastest of its turns: the same work runs up to 8 % slower
// from one moment to the next on a shared virtual machine, so a change of load from
// elsewhere touches both alike and a moment of it decides nothing.
void BM_AddFiles(benchmark::State &state)
{
    const int level = static_cast<int>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    const QString path = corpus().root.path() + QString("/add-%1-%2.zlb").arg(level).arg(threads);
    double peak = 0;
    Timing raw;
    Timing seconds;
    bool first = true;
    for (auto _ : state) {
        keepFaster(raw, rawCompressPass(corpus().files, level == 6 ? -1 : level), first);
        const Timing s = addFilesOnce(path, corpus().files, LevelOf[level], threads, peak);
        state.SetIterationTime(s.wall);
        keepFaster(seconds, s, first);
        first = false;
    }
    archiveAtLevel()[level] = path;
    const double target = threads == 1 ? 0.9 : level == 1 ? 1.3 : 1.6;
    report(state, corpus().bytes, seconds, raw, target);
    state.counters["threads"] = archive::BlockPipeline::threadsFor(threads);
    state.counters["peak_RSS_MiB"] = peak;
}

// ---- extracting ----------------------------------------------------------------------

Timing rawInflateSeconds(const QString &path)
{
    TZLBArchive zlb;
    zlb.OpenArchive(path);
    const QByteArray file = readFile(path);
    std::vector<char> piece(4096);
    return timed([&] {
        for (int i = 0; i < zlb.FileCount(); ++i) {
            const archive::TZLBFileRec rec = zlb.Files(i);
            uLong crc = 0;
            if (rec.Status != 0) {
                for (qint64 done = 0; done < rec.osize; done += 4096)
                    crc = crc32(crc, reinterpret_cast<const Bytef *>(file.constData() + rec.start + done),
                                static_cast<uInt>(std::min<qint64>(4096, rec.osize - done)));
            } else {
                z_stream s{};
                inflateInit(&s);
                s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(file.constData() + rec.start));
                s.avail_in = rec.csize;
                int result = Z_OK;
                while (result == Z_OK) {
                    s.next_out = reinterpret_cast<Bytef *>(piece.data());
                    s.avail_out = 4096;
                    result = inflate(&s, Z_NO_FLUSH);
                    crc = crc32(crc, reinterpret_cast<const Bytef *>(piece.data()), 4096 - s.avail_out);
                }
                inflateEnd(&s);
            }
            benchmark::DoNotOptimize(crc);
        }
    });
}

void BM_ExtractStreams(benchmark::State &state)
{
    const QString path = archiveAtLevel().at(static_cast<int>(state.range(0)));
    const Timing raw = rawInflateSeconds(path);
    TZLBArchive zlb;
    zlb.OpenArchive(path);
    zlb.SetCheckCRC(true);
    Timing seconds;
    for (auto _ : state) {
        const Timing s = timed([&] {
            for (int i = 0; i < zlb.FileCount(); ++i) {
                NullDevice sink;
                zlb.ExtractStreamByIndex(sink, i);
            }
        });
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    report(state, corpus().bytes, seconds.per(state.iterations()), raw, 0.8);
}

// A zip of a folder of the corpus root with its relative names; empty without zip.
QString zipOf(const QString &folder, int level)
{
    const QString zip = QStandardPaths::findExecutable("zip");
    if (zip.isEmpty())
        return {};
    const QString previous = QDir::currentPath();
    QDir::setCurrent(corpus().root.path());
    const QString zipFile = corpus().root.path() + QString("/%1-%2.zip").arg(folder).arg(level);
    QFile::remove(zipFile);
    QProcess::execute(zip, {"-q", "-r", "-" + QString::number(level), zipFile, folder});
    QDir::setCurrent(previous);
    return zipFile;
}

// unzip runs in a child process, so only its wall-clock time is known; nothing without
// unzip.
Timing unzipInto(const QString &zipFile, const QString &out)
{
    const QString unzip = QStandardPaths::findExecutable("unzip");
    if (zipFile.isEmpty() || unzip.isEmpty())
        return {};
    Timing t = timed([&] { QProcess::execute(unzip, {"-q", "-o", zipFile, "-d", out}); });
    t.cpu = 0;
    return t;
}

Timing unzipSeconds(int level)
{
    const QString out = corpus().root.path() + "/unzipped";
    QDir(out).removeRecursively();
    QProcess::execute("sync", {});
    const Timing t = unzipInto(zipOf(QStringLiteral("corpus"), level), out);
    QDir(out).removeRecursively();
    return t;
}

// ExtractAll into an empty folder of the corpus root, once per iteration; the time of one.
Timing extractAllSeconds(benchmark::State &state, TZLBArchive &zlb, const QString &folder)
{
    const QString out = corpus().root.path() + folder;
    Timing seconds;
    for (auto _ : state) {
        QDir(out).removeRecursively();
        const Timing s = timed([&] { zlb.ExtractAll(out); });
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    QDir(out).removeRecursively();
    return seconds.per(state.iterations());
}

void BM_ExtractFiles(benchmark::State &state)
{
    const int level = static_cast<int>(state.range(0));
    const Timing raw = unzipSeconds(level);
    TZLBArchive zlb;
    zlb.OpenArchive(archiveAtLevel().at(level));
    report(state, corpus().bytes, extractAllSeconds(state, zlb, "/extracted"), raw, 1.0);
    state.counters["raw_is_unzip"] = raw.wall > 0;
}

// A tree of 12,000 small files in 400 folders, most a few hundred bytes of text.
struct SmallTree
{
    QString folder = corpus().root.path() + "/smalltree";
    qint64 bytes = 0;
    qint64 files = 0;

    SmallTree()
    {
        for (int f = 0; f < 400; ++f) {
            for (int i = 0; i < 30; ++i) {
                const QByteArray content = words(64 + (f * 31 + i * 97) % 4000, static_cast<quint32>(f * 30 + i));
                writeFile(QString("%1/d%2/s%3/file%4.txt").arg(folder).arg(f / 20).arg(f).arg(i), content);
                bytes += content.size();
                ++files;
            }
        }
    }
};

SmallTree &smallTree()
{
    static SmallTree tree;
    return tree;
}

// unzip and the component take turns, each after the disk has been flushed, in the
// other order every second turn, and each into a folder of its own. A file system that
// has just freed thousands of inodes charges work to whichever program creates files
// next (ext4 without a journal looks at every inode freed in the last 30 seconds before
// it reuses one), so on disk the turns start 35 seconds after the files of earlier cases
// were removed, and their own folders are removed only after the last turn. Argument 1
// extracts into /dev/shm instead, where the disk's load does not hide the work of the
// programs themselves.
void BM_ExtractSmallFiles(benchmark::State &state)
{
    const SmallTree &tree = smallTree();
    const bool inMemory = state.range(0) == 1;
    QTemporaryDir shm("/dev/shm/zlb-bench-XXXXXX");
    if (inMemory && !shm.isValid()) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    const QString outRoot = (inMemory ? shm.path() : corpus().root.path()) + "/extracted-small";
    const QString path = corpus().root.path() + "/smalltree.zlb";
    QFile::remove(path);
    TZLBArchive zlb;
    zlb.SetRecursePaths(true);
    zlb.SetSavePaths(true);
    zlb.SetExtractWithPath(true);
    zlb.CreateArchive(path);
    // Relative names, as the zip holds them.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(corpus().root.path());
    QStringList list{"smalltree"};
    zlb.AddFiles(list);
    QDir::setCurrent(previous);
    const QString zipFile = zipOf(QStringLiteral("smalltree"), 6);
    QDir().mkpath(outRoot);
    if (!inMemory)
        std::this_thread::sleep_for(std::chrono::seconds(35));
    Timing raw;
    Timing seconds;
    int turn = 0;
    for (auto _ : state) {
        const auto runUnzip = [&] {
            QProcess::execute("sync", {});
            raw += unzipInto(zipFile, QString("%1/unzip-%2").arg(outRoot).arg(turn));
        };
        const auto runComponent = [&] {
            QProcess::execute("sync", {});
            const Timing s = timed([&] { zlb.ExtractAll(QString("%1/zlb-%2").arg(outRoot).arg(turn)); });
            state.SetIterationTime(s.wall);
            seconds += s;
        };
        if (turn % 2 == 0) {
            runUnzip();
            runComponent();
        } else {
            runComponent();
            runUnzip();
        }
        ++turn;
    }
    QDir(outRoot).removeRecursively();
    report(state, tree.bytes, seconds.per(state.iterations()), raw.per(state.iterations()), 1.3);
    state.counters["files"] = static_cast<double>(tree.files);
    state.counters["raw_is_unzip"] = raw.wall > 0;
}

// ---- the 1 GB archive ----------------------------------------------------------------

struct BigArchive
{
    QString path;
    qint64 size = 0;
    QStringList smallEntries; // one-byte files spread through the archive
};

BigArchive &bigArchive()
{
    static BigArchive big = [] {
        BigArchive b;
        const QString root = corpus().root.path();
        QStringList list;
        for (int copy = 0; copy < 10; ++copy) {
            const QString folder = QString("%1/big/c%2").arg(root).arg(copy);
            QDir().mkpath(folder);
            QProcess::execute("cp", {"-al", corpus().folder, folder + "/corpus"});
            list << folder;
        }
        b.path = root + "/big.zlb";
        TZLBArchive zlb;
        zlb.SetCompressionLevel(archive::fcNone);
        zlb.SetRecursePaths(true);
        zlb.SetSavePaths(true);
        zlb.CreateArchive(b.path);
        zlb.AddFiles(list);
        b.size = QFileInfo(b.path).size();
        for (int i = 0; i < zlb.FileCount(); ++i) {
            const QString name = archive::fullName(zlb.Files(i));
            if (zlb.Files(i).osize == 1 && i > zlb.FileCount() / 3)
                b.smallEntries << name;
        }
        return b;
    }();
    return big;
}

Timing crcSecondsInMemory(const QString &path)
{
    const QByteArray bytes = readFile(path);
    return timed([&] { benchmark::DoNotOptimize(crc32_z(0, reinterpret_cast<const Bytef *>(bytes.constData()), bytes.size())); });
}

// A plain copy of the file in 1 MiB pieces, then two checksum passes over the copy.
Timing copyAndTwoCrcSeconds(const QString &path)
{
    const QString copyName = path + ".copy";
    std::vector<char> buffer(MiB);
    const Timing seconds = timed([&] {
        QFile in(path);
        QFile out(copyName);
        in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        for (qint64 got; (got = in.read(buffer.data(), MiB)) > 0;)
            out.write(buffer.data(), got);
        out.close();
        for (int pass = 0; pass < 2; ++pass) {
            QFile again(copyName);
            again.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            uLong crc = 0;
            for (qint64 got; (got = again.read(buffer.data(), MiB)) > 0;)
                crc = crc32_z(crc, reinterpret_cast<const Bytef *>(buffer.data()), got);
            benchmark::DoNotOptimize(crc);
        }
    });
    QFile::remove(copyName);
    return seconds;
}

bool skipBig(benchmark::State &state)
{
    if (qEnvironmentVariableIntValue("VARDO_BENCH_QUICK") == 1) {
        state.SkipWithError("1 GB cases left out (VARDO_BENCH_QUICK=1)");
        return true;
    }
    return false;
}

void BM_Open1GB(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const BigArchive &big = bigArchive();
    const Timing raw = crcSecondsInMemory(big.path);
    Timing seconds;
    for (auto _ : state) {
        TZLBArchive zlb;
        const Timing s = timed([&] { zlb.OpenArchive(big.path); });
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    report(state, big.size, seconds.per(state.iterations()), raw, 0.8);
}

void BM_UpdateOneIn1GB(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const BigArchive &big = bigArchive();
    const Timing raw = copyAndTwoCrcSeconds(big.path);
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    zlb.OpenArchive(big.path);
    Timing seconds;
    int round = 0;
    for (auto _ : state) {
        // The entry's own file gets a new byte; its name is its key with folders kept.
        QString file = big.smallEntries.at(round++);
        file.replace('\\', '/');
        writeFile(file, "Z");
        const int index = zlb.FileInArchive(file);
        const Timing s = timed([&] { zlb.UpdateFile(file, index); });
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    report(state, big.size, seconds.per(state.iterations()), raw, 1.0 / 1.5);
}

void BM_DeleteOneIn1GB(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const BigArchive &big = bigArchive();
    const Timing raw = copyAndTwoCrcSeconds(big.path);
    TZLBArchive zlb;
    zlb.OpenArchive(big.path);
    Timing seconds;
    int round = 0;
    for (auto _ : state) {
        QStringList list{big.smallEntries.at(big.smallEntries.size() - 1 - round++)};
        const Timing s = timed([&] { zlb.DeleteFiles(list); });
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    report(state, big.size, seconds.per(state.iterations()), raw, 1.0 / 1.5);
}

// ---- memory --------------------------------------------------------------------------

void resetPeakResident()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double peakResidentMiB()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

QString &bigFile()
{
    static QString path = [] {
        const QString name = corpus().root.path() + "/one-gigabyte.bin";
        QFile out(name);
        out.open(QIODevice::WriteOnly);
        for (int copy = 0; out.size() < 1024 * MiB; ++copy) {
            for (const QString &file : corpus().files) {
                out.write(readFile(file));
                if (out.size() >= 1024 * MiB)
                    break;
            }
        }
        out.resize(1024 * MiB);
        return name;
    }();
    return path;
}

void BM_MemoryAddFiles1GBFile(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const QString path = corpus().root.path() + "/one-gigabyte.zlb";
    double peak = 0;
    const Timing seconds = addFilesSeconds(state, path, {bigFile()}, archive::fcFastest, 0, peak);
    state.counters["peak_RSS_MiB"] = peak;
    state.counters["target_MiB"] = 64;
    state.counters["MB/s"] = mbPerSecond(1024 * MiB, seconds.wall);
}

// The whole corpus with a 1 GB file among it, on every processor.
void BM_MemoryAddFilesParallel(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const QString path = corpus().root.path() + "/parallel-with-1gb.zlb";
    QStringList sources = corpus().files;
    sources.insert(sources.size() / 2, bigFile());
    double peak = 0;
    const Timing seconds = addFilesSeconds(state, path, sources, archive::fcFastest, 0, peak);
    QFile::remove(path);
    state.counters["peak_RSS_MiB"] = peak;
    state.counters["target_MiB"] = 96;
    state.counters["threads"] = archive::BlockPipeline::threadsFor(0);
    state.counters["MB/s"] = mbPerSecond(1024 * MiB + corpus().bytes, seconds.wall);
}

void BM_MemoryExtract1GBEntry(benchmark::State &state)
{
    if (skipBig(state))
        return;
    const QString path = corpus().root.path() + "/one-gigabyte.zlb";
    TZLBArchive zlb;
    zlb.SetCheckCRC(true);
    zlb.OpenArchive(path);
    Timing seconds;
    double peak = 0;
    for (auto _ : state) {
        NullDevice sink;
        resetPeakResident();
        const Timing s = timed([&] { zlb.ExtractStreamByIndex(sink, 0); });
        peak = std::max(peak, peakResidentMiB());
        state.SetIterationTime(s.wall);
        seconds += s;
    }
    state.counters["peak_RSS_MiB"] = peak;
    state.counters["target_MiB"] = 64;
    state.counters["MB/s"] = mbPerSecond(1024 * MiB, seconds.per(state.iterations()).wall);
}

// ---- many small files ----------------------------------------------------------------

quint32 nextRandom(quint32 &seed)
{
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
}

QByteArray randomBytes(qint64 size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(nextRandom(seed) >> 11);
    return bytes;
}

// Something like an executable: tables of small numbers, zero runs, strings and
// stretches of dense code that compress about two to one.
QByteArray binaryLike(qint64 size, quint32 seed)
{
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const quint32 r = nextRandom(seed);
        const qint64 run = 64 + r % 2048;
        switch (r >> 28) {
        case 0:
        case 1:
            bytes += QByteArray(run, '\0');
            break;
        case 2:
        case 3:
        case 4:
            bytes += words(run, r);
            break;
        case 5:
        case 6:
            for (qint64 i = 0; i < run; i += 4) {
                const quint32 v = nextRandom(seed) % 4096;
                bytes.append(reinterpret_cast<const char *>(&v), 4);
            }
            break;
        default:
            bytes += randomBytes(run / 2, r);
            bytes += QByteArray(run / 2, static_cast<char>(r));
        }
    }
    bytes.truncate(size);
    return bytes;
}

// A tree shaped like a folder of a real system: 12,000 files in 300 folders, half of them
// under 4 KB (some empty or of one byte), text and source code, already compressed data,
// binaries up to 3 MiB, and in front of them two sources above 20 MiB, one random and one
// of highly repetitive text. Fixed seeds: every run has the same bytes.
struct ManyFilesTree
{
    QTemporaryDir root{QDir::tempPath() + "/zlb-bench-many-XXXXXX"};
    QStringList files;
    qint64 bytes = 0;
    // Relative to the root: the big sources first, then the tree.
    QStringList sources{"many/big", "many/tree"};

    ManyFilesTree()
    {
        std::fprintf(stderr, "generating the many-files tree\n");
        add("many/big/random.bin", randomBytes(22 * MiB, 7));
        QByteArray repetitive;
        const QByteArray page = words(16 * 1024, 9);
        while (repetitive.size() < 22 * MiB)
            repetitive += page;
        add("many/big/repetitive.txt", repetitive);
        quint32 seed = 12345;
        for (int i = 0; i < 12000; ++i) {
            const quint32 r = nextRandom(seed);
            const quint32 kind = r % 1000;
            const qint64 span = nextRandom(seed);
            const QString folder = QString("many/tree/d%1/s%2/").arg(i % 12).arg(i % 300);
            if (kind < 30)
                add(folder + QString("empty%1").arg(i), {});
            else if (kind < 60)
                add(folder + QString("one%1").arg(i), QByteArray(1, char('a' + i % 26)));
            else if (kind < 500)
                add(folder + QString("small%1.h").arg(i), words(10 + span % 4000, r));
            else if (kind < 750)
                add(folder + QString("source%1.cpp").arg(i), words(4096 + span % (20 * 1024), r));
            else if (kind < 840)
                add(folder + QString("packed%1.gz").arg(i), deflated(words(2048 + span % (60 * 1024), r), 6));
            else if (kind < 900)
                add(folder + QString("image%1.png").arg(i), randomBytes(1024 + span % (24 * 1024), r));
            else if (kind < 999)
                add(folder + QString("lib%1.so").arg(i), binaryLike(4096 + span % (44 * 1024), r));
            else
                add(folder + QString("big%1.so").arg(i), binaryLike(MiB + span % (2 * MiB), r));
        }
        QProcess::execute("sync", {});
        std::fprintf(stderr, "many-files tree: %lld MB in %lld files\n", bytes / MiB,
                     static_cast<long long>(files.size()));
    }

    void add(const QString &name, const QByteArray &content)
    {
        writeFile(root.path() + "/" + name, content);
        files << root.path() + "/" + name;
        bytes += content.size();
    }
};

ManyFilesTree &manyFilesTree()
{
    static ManyFilesTree tree;
    return tree;
}

// AddFiles of the tree with its relative names, recursing and keeping folders.
Timing addTreeOnce(const QString &path, archive::TFileCompressionLevel level, int threads, double &peak)
{
    const ManyFilesTree &tree = manyFilesTree();
    QFile::remove(path);
    TZLBArchive zlb;
    zlb.SetCompressionLevel(level);
    zlb.SetThreads(threads);
    zlb.SetRecursePaths(true);
    zlb.SetSavePaths(true);
    zlb.CreateArchive(path);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(tree.root.path());
    QStringList list = tree.sources;
    resetPeakResident();
    const Timing s = timed([&] { zlb.AddFiles(list); });
    peak = std::max(peak, peakResidentMiB());
    QDir::setCurrent(previous);
    return s;
}

// Arguments: level, threads (0: one per processor). Raw zlib and the component take
// turns as in BM_AddFiles; cpu_% is the component's processor time over its wall-clock
// time (200 % keeps two processors busy).
void BM_ManyFilesAdd(benchmark::State &state)
{
    const int level = static_cast<int>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    const ManyFilesTree &tree = manyFilesTree();
    const QString path = tree.root.path() + QString("/many-%1-%2.zlb").arg(level).arg(threads);
    double peak = 0;
    Timing raw;
    Timing seconds;
    bool first = true;
    for (auto _ : state) {
        keepFaster(raw, rawCompressPass(tree.files, level == 6 ? -1 : level), first);
        const Timing s = addTreeOnce(path, LevelOf[level], threads, peak);
        state.SetIterationTime(s.wall);
        keepFaster(seconds, s, first);
        first = false;
    }
    QFile::remove(path);
    const double target = threads == 1 ? 0.9 : level == 1 ? 1.3 : 1.6;
    report(state, tree.bytes, seconds, raw, target);
    state.counters["threads"] = archive::BlockPipeline::threadsFor(threads);
    state.counters["cpu_%"] = 100 * seconds.cpu / seconds.wall;
    state.counters["peak_RSS_MiB"] = peak;
    state.counters["files"] = static_cast<double>(tree.files.size());
}

// One run of the zlb program beside this one, its output discarded: wall-clock seconds
// and its peak resident memory (from /usr/bin/time; 0 without it).
struct ToolRun
{
    double seconds = 0;
    double peakMiB = 0;
};

ToolRun runZlb(const QStringList &args, const QString &workingFolder)
{
    const QString zlb = QCoreApplication::applicationDirPath() + "/zlb";
    const QString time = QStandardPaths::findExecutable("time", {"/usr/bin"});
    QTemporaryDir scratch;
    const QString statFile = scratch.path() + "/time";
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProgram(time.isEmpty() ? zlb : time);
    process.setArguments(time.isEmpty() ? args : QStringList{"-f", "%M", "-o", statFile, zlb} + args);
    ToolRun run;
    run.seconds = timed([&] {
                      process.start();
                      process.waitForFinished(-1);
                  }).wall;
    if (process.exitCode() != 0)
        qFatal("zlb %s failed: %s", qPrintable(args.join(' ')), process.readAllStandardError().constData());
    run.peakMiB = readFile(statFile).trimmed().split('\n').last().toDouble() / 1024.0;
    return run;
}

// zlb x of the tree (at level 6, every processor) against unzip of a zip of the same
// files, taking turns in alternating order after the disk has been flushed, each into a
// folder of its own.
void BM_ManyFilesExtract(benchmark::State &state)
{
    const ManyFilesTree &tree = manyFilesTree();
    const QString root = tree.root.path();
    const QString path = root + "/many-extract.zlb";
    double peak = 0;
    addTreeOnce(path, archive::fcDefault, 0, peak);
    const QString zipFile = root + "/many.zip";
    QFile::remove(zipFile);
    QProcess zip;
    zip.setWorkingDirectory(root);
    zip.start(QStandardPaths::findExecutable("zip"), {"-q", "-r", "-6", zipFile, "many"});
    zip.waitForFinished(-1);
    Timing raw;
    Timing seconds;
    double zlbPeak = 0;
    int turn = 0;
    for (auto _ : state) {
        const auto runUnzip = [&] {
            QProcess::execute("sync", {});
            raw += unzipInto(zipFile, QString("%1/unzip-%2").arg(root).arg(turn));
        };
        const auto runComponent = [&] {
            QProcess::execute("sync", {});
            const ToolRun run = runZlb({"x", path, "-p", "-C", QString("%1/zlb-%2").arg(root).arg(turn)}, root);
            state.SetIterationTime(run.seconds);
            seconds.wall += run.seconds;
            zlbPeak = std::max(zlbPeak, run.peakMiB);
        };
        if (turn % 2 == 0) {
            runUnzip();
            runComponent();
        } else {
            runComponent();
            runUnzip();
        }
        ++turn;
    }
    for (int i = 0; i < turn; ++i) {
        QDir(QString("%1/unzip-%2").arg(root).arg(i)).removeRecursively();
        QDir(QString("%1/zlb-%2").arg(root).arg(i)).removeRecursively();
    }
    QFile::remove(path);
    report(state, tree.bytes, seconds.per(state.iterations()), raw.per(state.iterations()), 1.3);
    state.counters["raw_is_unzip"] = raw.wall > 0;
    state.counters["peak_RSS_MiB"] = zlbPeak;
}

// Argument: entries. A tree of that many files of a few bytes each, 1,000 to a folder;
// zlb a, l, u and x of it (every processor, level 6), each its own process: seconds and
// peak resident memory of each, and microseconds per entry, which stay flat when the
// time grows linearly with the count.
void BM_ManyEntries(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    QTemporaryDir root(QDir::tempPath() + "/zlb-bench-entries-XXXXXX");
    for (int i = 0; i < count; ++i)
        writeFile(QString("%1/entries/f%2/e%3.txt").arg(root.path()).arg(i / 1000).arg(i), QByteArray::number(i));
    QProcess::execute("sync", {});
    const QString path = root.path() + "/entries.zlb";
    const QString out = root.path() + "/out";
    std::map<QString, ToolRun> runs;
    for (auto _ : state) {
        QFile::remove(path);
        QDir(out).removeRecursively();
        runs["add"] = runZlb({"a", path, "entries", "-r", "-p"}, root.path());
        runs["list"] = runZlb({"l", path}, root.path());
        runs["update"] = runZlb({"u", path, "entries", "-r", "-p"}, root.path());
        runs["extract"] = runZlb({"x", path, "-p", "-C", out}, root.path());
        double total = 0;
        for (const auto &[op, run] : runs)
            total += run.seconds;
        state.SetIterationTime(total);
    }
    double peak = 0;
    for (const auto &[op, run] : runs) {
        state.counters[(op + "_s").toStdString()] = run.seconds;
        state.counters[(op + "_us/entry").toStdString()] = 1e6 * run.seconds / count;
        state.counters[(op + "_MiB").toStdString()] = run.peakMiB;
        peak = std::max(peak, run.peakMiB);
    }
    state.counters["peak_RSS_MiB"] = peak;
    state.counters["target_MiB"] = 128;
}

// Level 1 is quick, and the jitter weighs most there: more turns.
BENCHMARK(BM_AddFiles)
    ->ArgNames({"level", "threads"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddFiles)
    ->ArgNames({"level", "threads"})
    ->Args({6, 1})
    ->Args({6, 0})
    ->Args({9, 1})
    ->Args({9, 0})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractStreams)->Arg(1)->Arg(6)->Arg(9)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractFiles)->Arg(1)->Arg(6)->Arg(9)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractSmallFiles)
    ->ArgName("dev_shm")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open1GB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateOneIn1GB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOneIn1GB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryAddFiles1GBFile)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryAddFilesParallel)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryExtract1GBEntry)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ManyFilesAdd)
    ->ArgNames({"level", "threads"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({6, 1})
    ->Args({6, 0})
    ->Args({9, 1})
    ->Args({9, 0})
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyFilesExtract)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyEntries)
    ->ArgName("entries")
    ->Arg(5000)
    ->Arg(50000)
    ->Arg(200000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
