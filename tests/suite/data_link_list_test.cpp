#include "suite/data_link_list.h"

#include "suite/paths.h"
#include "test_env.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

TEST(ListDataLinkNames, ListsDataLinkFilesSortedWithoutRegardToCase)
{
    suite::InitPaths({"vardo-admin"});
    const QString links = suite::DataLinkPath();
    ASSERT_TRUE(QDir().mkpath(links));
    for (const char *name : {"b.udl", "A.UDL", "c.Udl", ".udl", "notes.txt", "d.udl.bak"})
        testenv::writeFile(links + name, "");
    ASSERT_TRUE(QDir().mkpath(links + "folder.udl"));

    EXPECT_EQ(suite::ListDataLinkNames(), QStringList({".udl", "A.UDL", "b.udl", "c.Udl"}));
}

TEST(ListDataLinkNames, OnlyRegularFilesAreListed)
{
    const QString links = testenv::freshDir("links");
    testenv::writeFile(links + "/real.udl", "");
    ASSERT_EQ(::mkfifo(QFile::encodeName(links + "/fifo.udl").constData(), 0664), 0);
    ASSERT_TRUE(QFile::link(links + "/real.udl", links + "/link.udl"));
    ASSERT_TRUE(QFile::link("/dev/zero", links + "/zero.udl"));
    ASSERT_TRUE(QFile::link(links + "/gone", links + "/dangling.udl"));
    EXPECT_EQ(suite::ListDataLinkNamesIn(links), QStringList{"real.udl"});
}

TEST(ListDataLinkNames, AMissingFolderListsNothing)
{
    suite::InitPaths({"vardo-admin"});
    ASSERT_FALSE(QDir(suite::DataLinkPath()).exists());
    EXPECT_TRUE(suite::ListDataLinkNames().isEmpty());
    EXPECT_TRUE(suite::ListDataLinkNamesIn("").isEmpty());
}

} // namespace
