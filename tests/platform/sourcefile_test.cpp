// Reading a source file by offset: the end is seen once, and looked for again after a seek,
// so a file that grows is read to its new end when read again.
#include "platform/sourcefile.h"

#include "test_env.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

void append(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Reads in pieces until a read gives nothing, as the archive component does.
QByteArray readToEnd(platform::SourceFile &source)
{
    QByteArray all;
    char buffer[4];
    for (qint64 got; (got = source.read(buffer, sizeof buffer)) > 0;)
        all.append(buffer, got);
    return all;
}

TEST(SourceFile, AFileThatGrewAfterOpeningIsReadToItsNewEnd)
{
    const QString path = testenv::root() + "/grows";
    testenv::writeFile(path, "abc");
    platform::SourceFile source;
    ASSERT_TRUE(source.openFile(path));
    append(path, "def");
    EXPECT_EQ(source.size(), 3);
    EXPECT_EQ(readToEnd(source), "abcdef");
}

TEST(SourceFile, TheEndIsLookedForAgainAfterASeek)
{
    const QString path = testenv::root() + "/grows";
    testenv::writeFile(path, "abc");
    platform::SourceFile source;
    ASSERT_TRUE(source.openFile(path));
    char buffer[16];
    EXPECT_EQ(source.read(buffer, sizeof buffer), 3);
    append(path, "def");
    EXPECT_EQ(source.read(buffer, sizeof buffer), 0); // the end met a moment ago
    ASSERT_TRUE(source.seek(0));
    EXPECT_EQ(readToEnd(source), "abcdef");
}

TEST(SourceFile, OnlyRegularFilesOpen)
{
    platform::SourceFile source;
    EXPECT_FALSE(source.openFile(testenv::root()));
    EXPECT_FALSE(source.openFile(testenv::root() + "/missing"));
    EXPECT_FALSE(source.openFile("/dev/null"));
}

} // namespace
