#include "suite/data_link_list.h"

#include "suite/paths.h"
#include "test_env.h"

#include <QDir>

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

TEST(ListDataLinkNames, AMissingFolderListsNothing)
{
    suite::InitPaths({"vardo-admin"});
    ASSERT_FALSE(QDir(suite::DataLinkPath()).exists());
    EXPECT_TRUE(suite::ListDataLinkNames().isEmpty());
    EXPECT_TRUE(suite::ListDataLinkNamesIn("").isEmpty());
}

} // namespace
