#include "platform/filesystem.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(FileSystem, CurrentDirectoryEndsInSlash)
{
    const QString dir = testenv::freshDir("Mixed Case Dir");
    ASSERT_TRUE(QDir::setCurrent(dir));
    EXPECT_EQ(platform::currentDirectory(), dir + "/");
    ASSERT_TRUE(QDir::setCurrent("/"));
    EXPECT_EQ(platform::currentDirectory(), "/");
}

TEST(FileSystem, ARemovedCurrentDirectoryGivesNothing)
{
    const QString dir = testenv::freshDir("gone");
    ASSERT_TRUE(QDir::setCurrent(dir));
    ASSERT_TRUE(QDir().rmdir(dir));
    EXPECT_EQ(platform::currentDirectory(), QString());
}

TEST(FileSystem, WithTrailingSlash)
{
    const struct
    {
        const char *in;
        const char *out;
    } cases[] = {{"", ""}, {"/", "/"}, {"/a", "/a/"}, {"/a/", "/a/"}, {"a b", "a b/"}};
    for (const auto &c : cases)
        EXPECT_EQ(platform::withTrailingSlash(c.in), QString(c.out)) << c.in;
}

TEST(FileSystem, OnlyRegularFilesExistAsFiles)
{
    const QString dir = testenv::freshDir("kinds");
    testenv::writeFile(dir + "/file", "x");
    QDir().mkpath(dir + "/folder");
    QFile::link(dir + "/file", dir + "/link-to-file");
    QFile::link(dir + "/folder", dir + "/link-to-folder");
    QFile::link(dir + "/missing", dir + "/dangling");
    ASSERT_EQ(QProcess::execute("mkfifo", {dir + "/fifo"}), 0);
    ASSERT_TRUE(QDir::setCurrent(dir));
    const struct
    {
        QString path;
        bool file;
        bool folder;
    } cases[] = {
        {dir + "/file", true, false},
        {"file", true, false}, // relative to the current directory
        {dir + "/folder", false, true},
        {dir + "/link-to-file", true, false},
        {dir + "/link-to-folder", false, true},
        {dir + "/dangling", false, false},
        {dir + "/fifo", false, false},
        {dir + "/missing", false, false},
        {QString(), false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(platform::fileExists(c.path), c.file) << qPrintable(c.path);
        EXPECT_EQ(platform::directoryExists(c.path), c.folder) << qPrintable(c.path);
    }
}

TEST(FileSystem, CreateDirectoryChain)
{
    const QString dir = testenv::freshDir("chain");
    testenv::writeFile(dir + "/file", "x");
    EXPECT_TRUE(platform::createDirectoryChain(dir + "/a/b c/d/"));
    EXPECT_TRUE(QFileInfo(dir + "/a/b c/d").isDir());
    EXPECT_TRUE(platform::createDirectoryChain(dir + "/a")); // already there
    EXPECT_FALSE(platform::createDirectoryChain(dir + "/file"));
    EXPECT_FALSE(platform::createDirectoryChain(dir + "/file/below"));
    EXPECT_FALSE(platform::createDirectoryChain(QString()));
}

TEST(FileSystem, FindEntriesMatchesWildcardsWithoutRegardToCase)
{
    const QString dir = testenv::freshDir("search");
    for (const char *name : {"b.udl", "A.UDL", "c.udlx", "d.txt", ".hidden.udl", "x.Udl.bak"})
        testenv::writeFile(dir + "/" + name, "");
    QDir().mkpath(dir + "/e.udl");
    const struct
    {
        const char *pattern;
        QStringList expected;
    } cases[] = {
        {"*.udl", {".hidden.udl", "A.UDL", "b.udl", "e.udl"}},
        {"?.UDL", {"A.UDL", "b.udl", "e.udl"}},
        {"*", {".hidden.udl", "A.UDL", "b.udl", "c.udlx", "d.txt", "e.udl", "x.Udl.bak"}},
        {"[a].udl", {}}, // brackets are plain characters
        {"*.none", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(platform::findEntries(dir, c.pattern), c.expected) << c.pattern;
    EXPECT_EQ(platform::findEntries(dir + "/missing", "*"), QStringList());
}

} // namespace
