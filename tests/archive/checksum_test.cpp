#include "archive/checksum.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(random.generate());
    return bytes;
}

quint32 zlibCrc(const char *data, qsizetype size, quint32 crc = 0)
{
    return static_cast<quint32>(crc32_z(crc, reinterpret_cast<const Bytef *>(data), static_cast<z_size_t>(size)));
}

// The folded path takes pieces of 64 bytes and more in blocks of 16; every length around
// those edges, at every alignment, must give zlib's answer.
TEST(Checksum, AgreesWithZlibForEveryLengthAndAlignment)
{
    const QByteArray bytes = randomBytes(600, 1);
    for (qsizetype offset = 0; offset < 17; ++offset) {
        for (qsizetype length = 0; length + offset <= 540; ++length) {
            const char *at = bytes.constData() + offset;
            ASSERT_EQ(archive::crc32Update(0, at, length), zlibCrc(at, length)) << offset << " " << length;
        }
    }
}

TEST(Checksum, ContinuesARunningChecksumAcrossPieces)
{
    const QByteArray bytes = randomBytes(3 << 20, 2);
    const quint32 whole = zlibCrc(bytes.constData(), bytes.size());
    for (const qsizetype piece : {1, 15, 64, 100, 4096, 1 << 20}) {
        quint32 crc = 0;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            crc = archive::crc32Update(crc, bytes.constData() + at, qMin(piece, bytes.size() - at));
        EXPECT_EQ(crc, whole) << piece;
    }
}

TEST(Checksum, HandlesRunsOfZerosAndOnes)
{
    for (const char fill : {'\0', '\xff'}) {
        const QByteArray bytes(100000, fill);
        EXPECT_EQ(archive::crc32Update(0x12345678u, bytes.constData(), bytes.size()),
                  zlibCrc(bytes.constData(), bytes.size(), 0x12345678u));
    }
}

} // namespace
