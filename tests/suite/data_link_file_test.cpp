#include "suite/data_link_file.h"

#include "platform/error.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(DataLinkFile, WritesTheEditorsFormat)
{
    const QString path = testenv::freshDir("links") + "/a.udl";
    suite::WriteDataLinkFile(path, "Provider=SQLite;Data Source=/data/läkare.sqlite");
    const QString text = "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                         "Provider=SQLite;Data Source=/data/läkare.sqlite\r\n";
    QByteArray expected("\xFF\xFE", 2);
    for (const QChar c : text) {
        expected.append(char(c.unicode() & 0xFF));
        expected.append(char(c.unicode() >> 8));
    }
    EXPECT_EQ(testenv::readFile(path), expected);
    EXPECT_EQ(suite::ConnectionStringOf(path), "Provider=SQLite;Data Source=/data/läkare.sqlite");
}

TEST(DataLinkFile, RefusesWhatIsNoConnectionString)
{
    const QString path = testenv::freshDir("links") + "/a.udl";
    for (const char *text : {"", "Data Source=x", "Provider=x\r\nUser=y", "Provider=x\nUser=y"})
        EXPECT_THROW(suite::WriteDataLinkFile(path, text), platform::Error) << text;
    EXPECT_FALSE(QFile::exists(path));
}

TEST(DataLinkFile, AFolderThatIsMissingIsAnError)
{
    const QString path = testenv::root() + "/no/such/folder/a.udl";
    try {
        suite::WriteDataLinkFile(path, "Provider=x");
        FAIL() << "no error";
    } catch (const platform::Error &e) {
        EXPECT_TRUE(e.message().contains(path)) << qPrintable(e.message());
    }
}

} // namespace
