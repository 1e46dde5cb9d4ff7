// The vardo-datalink program: its options, and a screenshot written without a display.
#include "datalink_test_support.h"
#include "suite/data_link_file.h"
#include "test_env.h"

#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

datalinktest::ProgramRun vardoDatalink(const QStringList &args)
{
    QProcessEnvironment offscreen;
    offscreen.insert("QT_QPA_PLATFORM", "offscreen");
    return datalinktest::runBuiltProgram("vardo-datalink", args, offscreen);
}

TEST(VardoDatalinkProgram, AnswersHelpVersionAndUsageErrors)
{
    const datalinktest::ProgramRun help = vardoDatalink({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("usage: vardo-datalink")) << qPrintable(help.out);
    const datalinktest::ProgramRun version = vardoDatalink({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("vardo-datalink")) << qPrintable(version.out);
    for (const QStringList &args : {QStringList{}, QStringList{"--colour", "a.udl"}, QStringList{"a.udl", "b.udl"}}) {
        const datalinktest::ProgramRun run = vardoDatalink(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.contains("usage: vardo-datalink")) << qPrintable(run.err);
    }
}

TEST(VardoDatalinkProgram, WritesAScreenshotOfTheWindow)
{
    const QString file = testenv::freshDir("links") + "/Praktik.udl";
    suite::WriteDataLinkFile(file, "Provider=SQLite;Data Source=/srv/praktik.db");
    const QString shots = testenv::freshDir("shots");
    const datalinktest::ProgramRun run = vardoDatalink({"--screenshot", shots, file});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QByteArray png = testenv::readFile(shots + "/datalink-editor.png");
    ASSERT_GT(png.size(), 24);
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    const quint32 width = qFromBigEndian<quint32>(png.constData() + 16); // IHDR's first field
    EXPECT_GT(width, 200u);
}

TEST(VardoDatalinkProgram, ADamagedFileIsReportedAsAFailure)
{
    const QString file = testenv::freshDir("links") + "/bad.udl";
    testenv::writeFile(file, QByteArray("\xFF\xFE[", 3));
    const datalinktest::ProgramRun run = vardoDatalink({"--screenshot", testenv::freshDir("shots"), file});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(file)) << qPrintable(run.err);
}

} // namespace
