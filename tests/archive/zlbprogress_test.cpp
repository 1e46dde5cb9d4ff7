// Progress reports: kinds, texts and rounding.
#include "archive_test_support.h"

#include <algorithm>
#include <cmath>

using namespace archive;
using namespace archivetest;

namespace {

QString archiveWith(const QString &name, const QByteArray &content, TFileCompressionLevel level = fcDefault)
{
    TZLBArchive zlb;
    zlb.SetCompressionLevel(level);
    const QString path = testenv::freshDir("progress-" + name) + "/p.zlb";
    zlb.CreateArchive(path);
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    zlb.AddStream(name, buffer);
    return path;
}

TEST(ZlbProgress, ExtractionReportsEvery4KiBRoundingHalvesToEven)
{
    // 200 pieces of 4,096 bytes: piece k is k/2 percent, so every odd k is a half.
    const QString path = archiveWith("x.bin", noise(4096 * 200));
    TZLBArchive zlb;
    ASSERT_TRUE(zlb.OpenArchive(path));
    Recorder recorder(zlb);
    extracted(zlb, 0);
    ASSERT_EQ(recorder.progress.size(), 201u);
    for (int k = 1; k <= 200; ++k) {
        EXPECT_EQ(recorder.progress[k - 1].first, "Extracting x.bin");
        EXPECT_EQ(recorder.progress[k - 1].second, static_cast<int>(std::nearbyint(k / 2.0))) << k;
    }
    EXPECT_EQ(recorder.progress[0].second, 0) << "0.5 rounds to 0";
    EXPECT_EQ(recorder.progress[4].second, 2) << "2.5 rounds to 2";
    EXPECT_EQ(recorder.progress[2].second, 2) << "1.5 rounds to 2";
    EXPECT_EQ(recorder.progress.back(), std::make_pair(zlb.ArchiveName(), 0));
}

TEST(ZlbProgress, OpeningReportsTheRegistryAndEndsWithAClearReport)
{
    TZLBArchive zlb;
    const QString path = testenv::freshDir("registry") + "/r.zlb";
    zlb.CreateArchive(path);
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        const QString file = testenv::root() + QString("/files/f%1.txt").arg(i);
        testenv::writeFile(file, "x");
        names << file;
    }
    zlb.AddFiles(names);
    Recorder recorder(zlb);
    ASSERT_TRUE(zlb.OpenArchive(path));
    // 20 records of 532 bytes come out in pieces of 4,096: 3 reports.
    const std::vector<std::pair<QString, int>> expected = {
        {"", 0},
        {"Extracting archive registry", 38},
        {"Extracting archive registry", 77},
        {"Extracting archive registry", 100},
        {path, 0},
    };
    EXPECT_EQ(recorder.progress, expected);
    zlb.CloseArchive();
    EXPECT_EQ(recorder.progress.back(), std::make_pair(QString(), 0));
}

TEST(ZlbProgress, AddingReportsOnlyWhenTheCompressorFillsABuffer)
{
    const struct
    {
        QByteArray content;
        bool reports;
    } cases[] = {
        {QByteArray(), false},
        {text(2000), false},         // about 100 KB that compresses far below 64 KiB
        {noise(300000), true},       // does not compress: several full buffers
    };
    for (const auto &c : cases) {
        TZLBArchive zlb;
        Recorder recorder(zlb);
        zlb.CreateArchive(testenv::freshDir("adding") + "/a.zlb");
        QBuffer buffer;
        buffer.setData(c.content);
        buffer.open(QIODevice::ReadOnly);
        zlb.AddStream("in.bin", buffer);
        const QStringList texts = recorder.progressTexts();
        EXPECT_EQ(texts.contains("Updating in.bin"), c.reports) << c.content.size();
        for (const auto &[text, percent] : recorder.progress) {
            if (text == "Updating in.bin") {
                EXPECT_GT(percent, 0);
                EXPECT_LE(percent, 100);
            }
        }
    }
}

TEST(ZlbProgress, SourceStoredPlainReportsOnlyWhatTheCompressorTookIn)
{
    // Noise does not compress, so the block is the source itself; the copy that follows
    // the compressor must not report again from 0.
    const QByteArray content = noise(300000);
    const qint64 fullBuffers = deflated(content, Z_DEFAULT_COMPRESSION).size() / 65536;
    for (const bool update : {false, true}) {
        const QString path = archiveWith("in.bin", update ? QByteArray("old") : QByteArray());
        TZLBArchive zlb;
        ASSERT_TRUE(zlb.OpenArchive(path));
        Recorder recorder(zlb);
        QBuffer buffer;
        buffer.setData(content);
        buffer.open(QIODevice::ReadOnly);
        if (update)
            zlb.UpdateStream("in.bin", buffer);
        else
            zlb.AddStream("again.bin", buffer);
        ASSERT_EQ(zlb.Files(zlb.FileCount() - 1).Status, fsStored);
        std::vector<int> percents;
        for (const auto &[text, percent] : recorder.progress) {
            if (text == "Updating " + QString(update ? "in.bin" : "again.bin"))
                percents.push_back(percent);
        }
        EXPECT_EQ(static_cast<qint64>(percents.size()), fullBuffers) << update;
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << update;
    }
}

TEST(ZlbProgress, NothingIsReportedWithoutAHandlerOrWhileDestroying)
{
    std::vector<std::pair<QString, int>> seen;
    {
        TZLBArchive zlb;
        ASSERT_TRUE(zlb.OpenArchive(sample("archive_format", "two_entries.zlb")));
        zlb.OnProgress = [&](const QString &m, int p) { seen.emplace_back(m, p); };
    }
    EXPECT_TRUE(seen.empty()) << "closing in the destructor makes no report";
}

} // namespace
