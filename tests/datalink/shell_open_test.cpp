// The shell's "open" verb: which program opens a file, and that it is started detached
// with the file, in the given folder.
#include "platform/shell_open.h"

#include "../suite/recording_editor.h"
#include "qstring_printer.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

void makeExecutable(const QString &path)
{
    testenv::writeFile(path, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ShellOpen, ADataLinkOpensInTheNamedEditorWithTheFileInTheFolder)
{
    const testenv::RecordingEditor editor;
    const QString folder = testenv::freshDir("links");
    const QString file = folder + "/Praktik.UDL";
    EXPECT_TRUE(platform::shellOpen(file, folder));
    const auto opened = editor.opened();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->file, file);
    EXPECT_EQ(opened->workingDirectory, QFileInfo(folder).canonicalFilePath());
}

TEST(ShellOpen, TheEditorIsFoundBesideTheProgramBeforePath)
{
    qunsetenv(platform::DataLinkEditorVariable);
    const QString beside = QCoreApplication::applicationDirPath() + "/vardo-datalink";
    const QString onPath = testenv::freshDir("bin") + "/vardo-datalink";
    makeExecutable(onPath);
    qputenv("PATH", (QFileInfo(onPath).path() + ":/usr/bin:/bin").toUtf8());
    const QString expected = QFileInfo(beside).isExecutable() ? beside : onPath;
    EXPECT_EQ(platform::shellOpenProgram("/x/a.udl"), expected);

    qputenv(platform::DataLinkEditorVariable, "vardo-datalink");
    EXPECT_EQ(platform::shellOpenProgram("/x/a.udl"), onPath) << "a bare name is looked up on PATH";
    qunsetenv(platform::DataLinkEditorVariable);
}

TEST(ShellOpen, OtherFilesGoToXdgOpen)
{
    const QString bin = testenv::freshDir("bin");
    makeExecutable(bin + "/xdg-open");
    qputenv("PATH", bin.toUtf8());
    EXPECT_EQ(platform::shellOpenProgram("/x/readme.txt"), bin + "/xdg-open");
    EXPECT_EQ(platform::shellOpenProgram("/x/a.udl.txt"), bin + "/xdg-open");
}

TEST(ShellOpen, NoProgramMeansNothingStarts)
{
    qputenv(platform::DataLinkEditorVariable, (testenv::root() + "/no-such-editor").toUtf8());
    EXPECT_FALSE(platform::shellOpen(testenv::root() + "/a.udl", testenv::root()));
    qputenv("PATH", testenv::freshDir("empty").toUtf8());
    EXPECT_FALSE(platform::shellOpen(testenv::root() + "/a.txt", testenv::root()));
    qunsetenv(platform::DataLinkEditorVariable);
}

} // namespace
