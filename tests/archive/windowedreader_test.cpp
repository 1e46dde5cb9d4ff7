// Reading an archive through one window: any position and size gives the file's bytes.
#include "archive/windowedreader.h"
#include "archive_test_support.h"

using namespace archive;
using namespace archivetest;

namespace {

TEST(WindowedReader, GivesTheFilesBytesWherePiecesFallAgainstTheWindow)
{
    constexpr qint64 W = WindowedReader::WindowSize;
    const QByteArray content = noise(static_cast<int>(3 * W + 1234), 3);
    const QString path = testenv::freshDir("window") + "/f.bin";
    testenv::writeFile(path, content);
    auto file = std::make_unique<QFile>(path);
    ASSERT_TRUE(file->open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    WindowedReader reader(std::move(file));
    EXPECT_EQ(reader.size(), content.size());
    const struct
    {
        qint64 at;
        qint64 size;
    } reads[] = {
        {0, 10},           {10, 100},         {W - 5, 10},   // across the window's end
        {5, W},            {W + 7, 2 * W},    // at least a window: straight from the file
        {W / 2, 1},        {0, 1},            // back into an earlier part
        {3 * W + 1200, 100},                  // past the end: what there is
        {3 * W + 1234, 10},                   // at the end: nothing
    };
    for (const auto &r : reads) {
        ASSERT_TRUE(reader.seek(r.at));
        QByteArray got(static_cast<int>(r.size), Qt::Uninitialized);
        qint64 total = 0;
        while (total < r.size) {
            const qint64 n = reader.read(got.data() + total, r.size - total);
            if (n <= 0)
                break;
            total += n;
        }
        got.truncate(static_cast<int>(total));
        EXPECT_TRUE(got == content.mid(r.at, r.size)) << r.at << " + " << r.size;
    }
}

} // namespace
