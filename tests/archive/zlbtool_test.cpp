// The zlb command-line tool, run as a user would.
#include "archive_test_support.h"
#include "program_run.h"

#include <QDirIterator>

using namespace archivetest;

namespace {

using ToolRun = testenv::ProgramRun;

ToolRun zlb(const QStringList &args, const QString &folder)
{
    testenv::RunOptions options;
    options.workDir = folder;
    return testenv::runProgram(testenv::binDir() + "/zlb", args, options);
}

// Relative name and content of every file below a folder.
QStringList tree(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files << file.mid(folder.size() + 1) + "=" + QString::fromLatin1(testenv::readFile(file).toHex());
    }
    files.sort();
    return files;
}

QString workFolder()
{
    const QString folder = testenv::freshDir("zlbtool");
    testenv::writeFile(folder + "/somefolder/readme.txt", text(100));
    testenv::writeFile(folder + "/somefolder/sub/data.bin", noise(70000));
    testenv::writeFile(folder + "/somefolder/sub/deeper/one.txt", "1");
    testenv::writeFile(folder + "/somefolder/empty.txt", "");
    testenv::writeFile(folder + "/somefolder/.hidden", "h");
    return folder;
}

TEST(ZlbTool, AddListExtractGivesTheFilesBack)
{
    const QString folder = workFolder();
    ToolRun add = zlb({"a", "docs.zlb", "somefolder", "-r", "-p"}, folder);
    ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    ToolRun list = zlb({"l", "docs.zlb"}, folder);
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains("somefolder\\sub\\deeper\\one.txt"));
    EXPECT_TRUE(list.out.contains("83dcefb7  somefolder\\sub\\deeper\\one.txt")) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("5 entries"));
    ToolRun extract = zlb({"x", "docs.zlb", "-C", "out", "-p"}, folder);
    ASSERT_EQ(extract.exitCode, 0) << extract.err.toStdString();
    EXPECT_EQ(tree(folder + "/out/somefolder"), tree(folder + "/somefolder"));
    ToolRun test = zlb({"t", "docs.zlb"}, folder);
    EXPECT_EQ(test.exitCode, 0);
    EXPECT_EQ(test.out.count("OK "), 5);
}

TEST(ZlbTool, ChangesEntriesByName)
{
    const QString folder = workFolder();
    ASSERT_EQ(zlb({"a", "docs.zlb", "-9", "-p", "somefolder/readme.txt", "somefolder/empty.txt"}, folder).exitCode, 0);
    testenv::writeFile(folder + "/somefolder/readme.txt", "new");
    EXPECT_EQ(zlb({"u", "docs.zlb", "-p", "somefolder/readme.txt"}, folder).exitCode, 0);
    EXPECT_EQ(zlb({"mv", "docs.zlb", "somefolder/empty.txt", "moved/e.txt"}, folder).exitCode, 0);
    ToolRun missing = zlb({"d", "docs.zlb", "somefolder/readme.txt", "nope.txt"}, folder);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("nope.txt: not in the archive"));
    ASSERT_EQ(zlb({"x", "docs.zlb", "-C", "out", "-p", "--check"}, folder).exitCode, 0);
    EXPECT_EQ(tree(folder + "/out"), QStringList{"moved/e.txt="});
}

TEST(ZlbTool, ThreadCountChangesNothingInTheArchive)
{
    const QString folder = workFolder();
    QByteArray first;
    for (const char *threads : {"1", "2", "8"}) {
        const QString name = QString("docs-%1.zlb").arg(threads);
        const ToolRun add = zlb({"a", name, "somefolder", "-r", "-p", "-j", threads}, folder);
        ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
        const QByteArray bytes = testenv::readFile(folder + "/" + name);
        if (first.isEmpty())
            first = bytes;
        EXPECT_TRUE(bytes == first) << threads << " threads";
    }
}

TEST(ZlbTool, CraftedArchiveLeadingOutsideIsRefused)
{
    const QString folder = testenv::freshDir("crafted");
    ToolRun run = zlb({"x", sample("archive_extract", "dotdot_path.zlb"), "-C", "a/b/out", "-p"}, folder);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("leads outside the destination (..\\..\\evil.txt)")) << run.err.toStdString();
    EXPECT_EQ(tree(folder), QStringList());
}

TEST(ZlbTool, FailuresAndUsageErrorsHaveTheirExitStatus)
{
    const QString folder = testenv::freshDir("status");
    const struct
    {
        QStringList args;
        int code;
        const char *message;
    } cases[] = {
        {{}, 2, "usage:"},
        {{"l"}, 2, "usage:"},
        {{"q", "a.zlb"}, 2, "unknown command q"},
        {{"a", "a.zlb", "-z", "x"}, 2, "unknown option -z"},
        {{"a", "a.zlb"}, 2, "nothing to add"},
        {{"a", "a.zlb", "x", "-j", "0"}, 2, "-j needs a number of threads"},
        {{"a", "a.zlb", "x", "-j"}, 2, "-j needs a number of threads"},
        {{"l", "none.zlb"}, 1, "Archive file not found"},
        {{"a", "new.zlb", "missing.txt"}, 1, "missing.txt: no such file or folder"},
        {{"t", sample("archive_reading", "wrong_entry_crc.zlb")}, 1, "File (0) failed CRC check"},
        {{"l", sample("archive_reading", "count_too_large.zlb")}, 1, "Unable to read archive file list"},
    };
    for (const auto &c : cases) {
        const ToolRun run = zlb(c.args, folder);
        EXPECT_EQ(run.exitCode, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    }
}

} // namespace
