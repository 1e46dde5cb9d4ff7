// The byte layout: what the component writes and reads, byte for byte.
#include "archive/checksum.h"
#include "archive_test_support.h"

#include <QTemporaryFile>

using namespace archive;
using namespace archivetest;

namespace {

// An archive written by the component in a fresh folder.
QString newArchive(TZLBArchive &zlb, const QString &name = "test.zlb")
{
    const QString path = testenv::freshDir("format") + "/" + name;
    zlb.CreateArchive(path);
    return path;
}

void addBytes(TZLBArchive &zlb, const QString &name, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    zlb.AddStream(name, buffer);
}

TEST(ZlbFormat, ChecksumIsTheStandardCrc32)
{
    EXPECT_EQ(crc32Update(0, "123456789", 9), 0xCBF43926u);
}

TEST(ZlbFormat, EmptyArchiveIs44BytesAndOpensWithNoEntries)
{
    TZLBArchive zlb;
    const QString path = newArchive(zlb);
    EXPECT_FALSE(QFile::exists(path)) << "no file before the first change";
    QStringList none;
    zlb.AddFiles(none);
    const QByteArray bytes = testenv::readFile(path);
    EXPECT_EQ(bytes.size(), 44);
    EXPECT_EQ(bytes, testenv::readFile(sample("archive_format", "empty.zlb")));
    EXPECT_EQ(trailerOf(bytes).Version, 1);

    TZLBArchive reader;
    ASSERT_TRUE(reader.OpenArchive(sample("archive_format", "empty.zlb")));
    EXPECT_EQ(reader.FileCount(), 0);
}

TEST(ZlbFormat, WritesTheSameBytesAsAnIndependentWriter)
{
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    const QString path = newArchive(zlb);
    addBytes(zlb, "a.txt", QByteArray("The quick brown fox jumps over the lazy dog.\n").repeated(40));
    addBytes(zlb, "\\Data\\b.txt", "xyz");
    EXPECT_EQ(testenv::readFile(path), testenv::readFile(sample("archive_format", "two_entries.zlb")));
}

TEST(ZlbFormat, RecordFieldsLieAtTheirOffsets)
{
    TZLBFileRec rec;
    setShortString(rec.name, "a.txt");
    setShortString(rec.path, "\\D\\");
    rec.osize = 0x01020304;
    rec.csize = -2;
    rec.start = 0x11223344;
    rec.CRC = 0xCBF43926u;
    rec.Status = fsStored;
    rec.CompressionLevel = fcMaximum;
    char bytes[layout::FileRecSize];
    writeFileRec(rec, bytes);
    const QByteArray b(bytes, sizeof bytes);
    EXPECT_EQ(b.mid(0, 6), QByteArray("\x05" "a.txt"));
    EXPECT_EQ(b.mid(256, 4), QByteArray("\x03\\D\\"));
    EXPECT_EQ(b.mid(512, 4), QByteArray("\x04\x03\x02\x01"));
    EXPECT_EQ(b.mid(516, 4), QByteArray("\xfe\xff\xff\xff"));
    EXPECT_EQ(b.mid(520, 4), QByteArray("\x44\x33\x22\x11"));
    EXPECT_EQ(b.mid(524, 4), QByteArray("\x26\x39\xf4\xcb"));
    EXPECT_EQ(b.mid(528, 4), QByteArray("\x01\x03\x00\x00", 4));
    const TZLBFileRec back = readFileRec(bytes);
    char again[layout::FileRecSize];
    writeFileRec(back, again);
    EXPECT_EQ(QByteArray(again, sizeof again), b);
}

TEST(ZlbFormat, EmptyEntryIsStoredWithNothingInIt)
{
    TZLBArchive zlb;
    const QString path = newArchive(zlb);
    addBytes(zlb, "empty.txt", QByteArray());
    const TZLBFileRec rec = zlb.Files(0);
    EXPECT_EQ(rec.osize, 0);
    EXPECT_EQ(rec.csize, 0);
    EXPECT_EQ(rec.Status, fsStored);
    EXPECT_EQ(rec.CRC, 0u);
    const QString out = testenv::freshDir("out");
    zlb.ExtractAll(out);
    EXPECT_TRUE(QFile::exists(out + "/empty.txt"));
    EXPECT_EQ(QFileInfo(out + "/empty.txt").size(), 0);
}

TEST(ZlbFormat, LevelNoneStoresEveryEntryAndStillCompressesTheRegistry)
{
    TZLBArchive zlb;
    zlb.SetCompressionLevel(fcNone);
    const QString path = newArchive(zlb);
    addBytes(zlb, "text.txt", text(500));
    addBytes(zlb, "more.txt", text(20));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(zlb.Files(i).Status, fsStored);
        EXPECT_EQ(zlb.Files(i).CompressionLevel, fcNone);
        EXPECT_EQ(zlb.Files(i).csize, zlb.Files(i).osize);
    }
    const QByteArray bytes = testenv::readFile(path);
    const TZLBArchiveRec trailer = trailerOf(bytes);
    EXPECT_EQ(trailer.CompressedRegistry, 1);
    EXPECT_GT(trailer.RegistrySize, 2 * layout::FileRecSize) << "stored deflate is longer than the records";
    EXPECT_EQ(trailer.RegistrySize, bytes.size() - 36 - trailer.ArchiveSize);
    EXPECT_EQ(bytes.mid(trailer.ArchiveSize, trailer.RegistrySize),
              deflated(registryOf(bytes), 0));
}

TEST(ZlbFormat, BlocksAreZlibStreamsAtTheMappedLevel)
{
    const struct
    {
        TFileCompressionLevel level;
        int zlib;
    } cases[] = {{fcFastest, 1}, {fcDefault, -1}, {fcMaximum, 9}};
    const QByteArray content = text(2000);
    for (const auto &c : cases) {
        TZLBArchive zlb;
        zlb.SetCompressionLevel(c.level);
        const QString path = newArchive(zlb, QString("level%1.zlb").arg(c.zlib));
        addBytes(zlb, "t.txt", content);
        const TZLBFileRec rec = zlb.Files(0);
        EXPECT_EQ(rec.Status, fsCompressed);
        EXPECT_EQ(rec.CompressionLevel, c.level);
        EXPECT_EQ(rec.CRC, crcOf(content));
        const QByteArray bytes = testenv::readFile(path);
        EXPECT_EQ(bytes.mid(rec.start, rec.csize), deflated(content, c.zlib)) << c.zlib;
        const TZLBArchiveRec trailer = trailerOf(bytes);
        EXPECT_EQ(bytes.mid(trailer.ArchiveSize, trailer.RegistrySize), deflated(registryOf(bytes), c.zlib));
    }
}

TEST(ZlbFormat, IncompressibleSourceIsStoredPlain)
{
    TZLBArchive zlb;
    zlb.SetCompressionLevel(fcMaximum);
    newArchive(zlb);
    const QByteArray content = noise(5000);
    addBytes(zlb, "n.bin", content);
    addBytes(zlb, "one.bin", "x");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(zlb.Files(i).Status, fsStored);
        EXPECT_EQ(zlb.Files(i).CompressionLevel, fcNone);
    }
    EXPECT_EQ(zlb.Files(1).start, 5000) << "blocks lie back to back";
    EXPECT_EQ(extracted(zlb, 0), content);
    EXPECT_EQ(extracted(zlb, 1), QByteArray("x"));
}

TEST(ZlbFormat, OneChangedByteBeforeTheTrailerIsCaught)
{
    const QByteArray original = testenv::readFile(sample("archive_format", "two_entries.zlb"));
    const QString path = testenv::freshDir("damage") + "/d.zlb";
    for (int i = 0; i < original.size() - 36; ++i) {
        QByteArray damaged = original;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        QFile::remove(path); // emptying a file in place makes ext4 flush it on close
        testenv::writeFile(path, damaged);
        TZLBArchive zlb;
        EXPECT_EQ(errorOf([&] { zlb.OpenArchive(path); }), "The archive file appears to be corrupted") << i;
        EXPECT_TRUE(zlb.ArchiveName().isEmpty());
    }
}

TEST(ZlbFormat, VersionRegistrySizeAndReservedAreNotChecked)
{
    const QByteArray original = testenv::readFile(sample("archive_format", "two_entries.zlb"));
    const QString path = testenv::freshDir("ignored") + "/i.zlb";
    const int trailer = original.size() - 36;
    for (int offset : {8, 9, 11, 12, 13, 15, 21, 28, 35}) {
        QByteArray changed = original;
        changed[trailer + offset] = static_cast<char>(0x5a);
        testenv::writeFile(path, changed);
        TZLBArchive zlb;
        ASSERT_TRUE(zlb.OpenArchive(path)) << offset;
        EXPECT_EQ(zlb.FileCount(), 2);
        EXPECT_EQ(extracted(zlb, 1), QByteArray("xyz"));
    }
    TZLBArchive seven;
    ASSERT_TRUE(seven.OpenArchive(sample("archive_format", "version_seven.zlb")));
    EXPECT_EQ(seven.ArchiveDetails().Version, 7);
    EXPECT_EQ(seven.FileCount(), 1);
}

TEST(ZlbFormat, LongNameKeepsItsFirst255Characters)
{
    TZLBArchive zlb;
    newArchive(zlb);
    const QString name = QString(300, QChar('n'));
    addBytes(zlb, name, "x");
    EXPECT_EQ(shortStringText(zlb.Files(0).name), name.left(255));
    EXPECT_EQ(static_cast<unsigned char>(zlb.Files(0).name[0]), 255);
}

TEST(ZlbFormat, NamesAreKeptInTheAnsiCodePage)
{
    TZLBArchive zlb;
    zlb.SetSavePaths(true);
    const QString path = newArchive(zlb);
    addBytes(zlb, QString::fromUtf8("Å\\räksmörgås.txt"), "x");
    const QByteArray registry = registryOf(testenv::readFile(path));
    EXPECT_EQ(registry.mid(0, 15), QByteArray("\x0e" "r\xe4ksm\xf6rg\xe5s.txt"));
    EXPECT_EQ(registry.mid(256, 3), QByteArray("\x02\xc5\\"));
}

TEST(ZlbFormat, PlainRegistryWrittenByHandOpens)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(sample("archive_format", "plain_registry.zlb")));
    EXPECT_EQ(zlb.ArchiveDetails().CompressedRegistry, 0);
    ASSERT_EQ(zlb.FileCount(), 2);
    EXPECT_EQ(fullName(zlb.Files(1)), "\\Data\\b.txt");
    zlb.SetCheckCRC(true);
    EXPECT_EQ(extracted(zlb, 0), QByteArray("The quick brown fox jumps over the lazy dog.\n").repeated(40));
    EXPECT_EQ(extracted(zlb, 1), QByteArray("xyz"));
}

TEST(ZlbFormat, RenamedRecordKeepsTheBytesAfterAShorterName)
{
    const QString path = copySample("archive_format", "two_entries.zlb");
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(path));
    zlb.RenameFileByName("a.txt", "\\X\\z");
    const QByteArray registry = registryOf(testenv::readFile(path));
    EXPECT_EQ(registry.mid(0, 6), QByteArray("\x01z.txt")) << "old characters stay after the new name";
    EXPECT_EQ(registry.mid(256, 4), QByteArray("\x03\\X\\"));
    EXPECT_EQ(fullName(zlb.Files(0)), "\\X\\z");
}

} // namespace
