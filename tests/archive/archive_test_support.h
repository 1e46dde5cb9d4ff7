#pragma once
// Shared helpers of the archive tests: sample files, raw trailer and registry access,
// and an event recorder.
#include "archive/zlbarchive.h"
#include "platform/error.h"
#include "test_env.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <ostream>
#include <utility>
#include <vector>

// Readable failure output for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace archivetest {

inline QString sample(const QString &folder, const QString &name)
{
    return testenv::sourceDir() + "/tests/data/" + folder + "/" + name;
}

// Every sample archive of the repository.
inline QStringList allSamples()
{
    QStringList files;
    const QDir data(testenv::sourceDir() + "/tests/data");
    for (const QString &folder : data.entryList({"archive*"}, QDir::Dirs)) {
        for (const QString &file : QDir(data.filePath(folder)).entryList({"*.zlb"}, QDir::Files))
            files << data.filePath(folder) + "/" + file;
    }
    return files;
}

// Copies a sample into a fresh folder, so a test may change it.
inline QString copySample(const QString &folder, const QString &name)
{
    const QString target = testenv::freshDir("samples") + "/" + name;
    testenv::writeFile(target, testenv::readFile(sample(folder, name)));
    return target;
}

// The message of the platform::Error that `f` raises; empty when it raises nothing.
inline QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const platform::Error &e) {
        return e.message();
    }
    return {};
}

inline archive::TZLBArchiveRec trailerOf(const QByteArray &file)
{
    return archive::readArchiveRec(file.constData() + file.size() - archive::layout::ArchiveRecSize);
}

inline quint32 crcOf(const QByteArray &bytes)
{
    return static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), bytes.size()));
}

// Gives a file whose bytes were changed a valid whole-file checksum again, so what lies
// behind the checksum is what gets tested.
inline QByteArray withFixedCrc(QByteArray file)
{
    if (file.size() < archive::layout::ArchiveRecSize)
        return file;
    archive::TZLBArchiveRec trailer = trailerOf(file);
    trailer.CRC = crcOf(file.left(file.size() - archive::layout::ArchiveRecSize));
    archive::writeArchiveRec(trailer, file.data() + file.size() - archive::layout::ArchiveRecSize);
    return file;
}

// The archive registry of a file, decompressed when it is.
inline QByteArray registryOf(const QByteArray &file)
{
    const archive::TZLBArchiveRec trailer = trailerOf(file);
    const QByteArray region = file.mid(trailer.ArchiveSize, file.size() - 36 - trailer.ArchiveSize);
    if (!trailer.CompressedRegistry)
        return region;
    QByteArray plain(trailer.FileCount * archive::layout::FileRecSize, Qt::Uninitialized);
    uLongf length = plain.size();
    uLong sourceLength = region.size();
    EXPECT_EQ(uncompress2(reinterpret_cast<Bytef *>(plain.data()), &length,
                          reinterpret_cast<const Bytef *>(region.constData()), &sourceLength),
              Z_OK);
    return plain;
}

inline QByteArray deflated(const QByteArray &bytes, int level)
{
    uLongf length = compressBound(bytes.size());
    QByteArray out(static_cast<qsizetype>(length), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &length, reinterpret_cast<const Bytef *>(bytes.constData()),
              bytes.size(), level);
    out.resize(static_cast<qsizetype>(length));
    return out;
}

// Text that compresses well.
inline QByteArray text(int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += "Line " + QByteArray::number(i) + " of some text that compresses well.\n";
    return bytes;
}

// Bytes that do not compress.
inline QByteArray noise(int size, quint32 seed = 1)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// The bytes of entry `index`, extracted to memory.
inline QByteArray extracted(archive::TZLBArchive &zlb, int index)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    zlb.ExtractStreamByIndex(buffer, index);
    return buffer.data();
}

// The files below a folder, relative to it, sorted.
inline QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(folder.size() + 1);
    files.sort();
    return files;
}

// Records every event of a component as one line each.
struct Recorder
{
    QStringList events;
    std::vector<std::pair<QString, int>> progress;

    explicit Recorder(archive::TZLBArchive &zlb, bool replace = true)
    {
        zlb.OnProgress = [this](const QString &m, int p) { progress.emplace_back(m, p); };
        zlb.OnErrorLogged = [this](const QString &m) { events << "error: " + m; };
        zlb.OnFileExtracted = [this](const QString &f) { events << "extracted: " + f; };
        zlb.OnStreamExtracted = [this](const QString &f) { events << "stream: " + f; };
        zlb.OnArchiveOpened = [this](archive::TZLBArchive &) { events << "opened"; };
        zlb.OnReplaceFile = [this, replace](const QString &f, bool &r) {
            events << "replace? " + f;
            r = replace;
        };
    }

    QStringList progressTexts() const
    {
        QStringList texts;
        for (const auto &[text, percent] : progress)
            texts << text;
        return texts;
    }
};

} // namespace archivetest
