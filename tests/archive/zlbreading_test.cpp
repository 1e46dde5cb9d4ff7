// Reading never goes out of bounds: files that lie about themselves are refused with a
// message, and random damage to any sample never does more than raise an error.
#include "archive_test_support.h"

#include <random>

using namespace archive;
using namespace archivetest;

namespace {

TEST(ZlbReading, LyingFilesAreRefusedWhenOpened)
{
    const struct
    {
        const char *file;
        const char *message;
    } cases[] = {
        {"shorter_than_trailer.zlb", "The archive file appears to be corrupted"},
        {"count_too_large.zlb", "Unable to read archive file list"},
        {"count_negative.zlb", "Unable to read archive file list"},
        {"plain_count_too_large.zlb", "Unable to read archive file list"},
        {"archive_size_beyond_file.zlb", "Unable to read archive file list"},
        {"archive_size_negative.zlb", "Unable to read archive file list"},
        {"short_registry.zlb", "Unable to read archive file list"},
        {"damaged_registry_stream.zlb", "Unable to read archive file list"},
        {"block_outside_data_area.zlb", "Unable to read archive file list"},
    };
    for (const auto &c : cases) {
        TZLBArchive zlb;
        EXPECT_EQ(errorOf([&] { zlb.OpenArchive(sample("archive_reading", c.file)); }), c.message) << c.file;
        EXPECT_TRUE(zlb.ArchiveName().isEmpty()) << c.file;
        EXPECT_EQ(errorOf([&] { zlb.FileCount(); }), "No archive is currently open");
    }
}

TEST(ZlbReading, EntriesThatCannotDeliverTheirBytesAreCorrupt)
{
    const char *files[] = {"osize_not_delivered.zlb", "stored_osize_beyond_block.zlb", "damaged_block_stream.zlb"};
    for (const char *file : files) {
        TZLBArchive zlb;
        ASSERT_TRUE(zlb.OpenArchive(sample("archive_reading", file))) << file;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(errorOf([&] { zlb.ExtractStreamByIndex(out, 0); }), "File (0) is corrupt") << file;
        EXPECT_EQ(errorOf([&] { zlb.ExtractAll(testenv::freshDir("corrupt")); }), "File (0) is corrupt") << file;
    }
}

TEST(ZlbReading, StoredBlockIsNotReadBeyondItsEnd)
{
    // Entry 0 claims 10 bytes from a 3-byte block followed by entry 1's text: reading
    // on would hand out entry 1's bytes as entry 0's.
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(sample("archive_reading", "stored_osize_beyond_block.zlb")));
    EXPECT_EQ(errorOf([&] { extracted(zlb, 0); }), "File (0) is corrupt");
    EXPECT_EQ(extracted(zlb, 1).left(9), QByteArray("The quick"));
}

TEST(ZlbReading, EntryChecksumIsCheckedOnlyWhenAskedFor)
{
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(sample("archive_reading", "wrong_entry_crc.zlb")));
    EXPECT_EQ(extracted(zlb, 0), QByteArray("xyz"));
    zlb.SetCheckCRC(true);
    EXPECT_EQ(errorOf([&] { extracted(zlb, 0); }), "File (0) failed CRC check");
    const QString out = testenv::freshDir("crc");
    EXPECT_EQ(errorOf([&] { zlb.ExtractFileByIndex(out, 0); }), "File (0) failed CRC check");
    EXPECT_EQ(errorOf([&] { zlb.ExtractFileByName(out, "a.txt"); }), "File (0) failed CRC check");
    EXPECT_EQ(errorOf([&] { zlb.ExtractAll(out); }), "File (0) is corrupt");
}

// Opens the bytes and extracts every entry to memory; only platform::Error may come out.
void openAndExtract(const QString &path, const QByteArray &bytes)
{
    // A fresh file each time: emptying one in place makes ext4 flush it on close.
    QFile::remove(path);
    testenv::writeFile(path, bytes);
    TZLBArchive zlb;
    zlb.SetCheckCRC(true);
    try {
        if (!zlb.OpenArchive(path))
            return;
        for (int i = 0; i < zlb.FileCount(); ++i) {
            try {
                extracted(zlb, i);
            } catch (const platform::Error &) {
            }
        }
    } catch (const platform::Error &) {
    }
}

TEST(ZlbReading, RandomDamageToEverySampleOnlyRaisesErrors)
{
    std::mt19937 random(20261210);
    const QString path = testenv::freshDir("fuzz") + "/damaged.zlb";
    const QStringList samples = allSamples();
    ASSERT_GE(samples.size(), 20);
    for (const QString &file : samples) {
        const QByteArray original = testenv::readFile(file);
        for (int round = 0; round < 150; ++round) {
            QByteArray damaged = original;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < changes && !damaged.isEmpty(); ++c)
                damaged[static_cast<qsizetype>(random() % damaged.size())] = static_cast<char>(random());
            if (round % 5 == 0)
                damaged.truncate(static_cast<qsizetype>(random() % (damaged.size() + 1)));
            // Most rounds get a valid checksum again so the damage reaches the registry and blocks.
            openAndExtract(path, round % 3 == 0 ? damaged : withFixedCrc(damaged));
        }
    }
}

} // namespace
