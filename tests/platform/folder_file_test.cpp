#include "platform/folder_file.h"

#include "platform/error.h"
#include "file_checks.h"
#include "test_env.h"

#include "qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using testenv::errorOf;
using testenv::isLink;
using testenv::modeOf;

using platform::FileSaving;

// Something precious outside the shared folder, and its state to compare with.
struct Outside
{
    QString path;
    QByteArray bytes = "precious\n";
    unsigned mode = 0640;

    Outside()
        : path(testenv::freshDir("outside") + "/precious.conf")
    {
        testenv::writeFile(path, bytes);
        ::chmod(QFile::encodeName(path).constData(), mode);
    }
    void expectUnchanged() const
    {
        EXPECT_EQ(testenv::readFile(path), bytes);
        EXPECT_EQ(modeOf(path), mode);
        EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"precious.conf"});
    }
};

TEST(FolderFile, APlantedLinkIsNeitherFollowedNorReplaced)
{
    const Outside outside;
    const QString folder = testenv::freshDir("shared");
    const QString link = folder + "/Filial.udl";
    ASSERT_TRUE(QFile::link(outside.path, link));
    for (const FileSaving saving : {FileSaving::ReplaceExisting, FileSaving::NewOnly}) {
        const QString error = errorOf([&] { platform::saveFileInFolder(link, "new", 0664, saving); });
        EXPECT_TRUE(error.startsWith("Cannot save " + link + ": ")) << qPrintable(error);
    }
    EXPECT_TRUE(errorOf([&] { platform::saveFileInFolder(link, "new", 0664, FileSaving::ReplaceExisting); })
                    .contains("symbolic link"));
    EXPECT_TRUE(errorOf([&] { (void)platform::readFileInFolder(link, 100); }).contains("symbolic link"));
    EXPECT_TRUE(isLink(link));
    outside.expectUnchanged();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
              QStringList{"Filial.udl"})
        << "no temporary file is left behind";
}

TEST(FolderFile, SpecialFilesAreRefusedWithoutBlockingOrReadingThem)
{
    const QString folder = testenv::freshDir("shared");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/fifo.udl").constData(), 0664), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "/zero.udl"));
    QDir().mkpath(folder + "/folder.udl");
    for (const char *name : {"fifo.udl", "zero.udl", "folder.udl"}) {
        const QString path = folder + "/" + QString::fromLatin1(name);
        EXPECT_FALSE(errorOf([&] { (void)platform::readFileInFolder(path, 1024); }).isEmpty()) << name;
        EXPECT_FALSE(errorOf([&] { platform::saveFileInFolder(path, "x", 0664, FileSaving::ReplaceExisting); }).isEmpty())
            << name;
    }
    EXPECT_TRUE(QFileInfo(folder + "/folder.udl").isDir());
}

TEST(FolderFile, AReadIsBoundedBeforeAByteIsRead)
{
    const QString path = testenv::freshDir("shared") + "/big.udl";
    testenv::writeFile(path, "0123456789");
    EXPECT_EQ(platform::readFileInFolder(path, 10), QByteArray("0123456789"));
    EXPECT_TRUE(errorOf([&] { (void)platform::readFileInFolder(path, 9); }).contains("larger than 9 bytes"));
    EXPECT_EQ(platform::readFileInFolder(path + ".missing", 10), std::nullopt);
}

TEST(FolderFile, NewOnlyNeverReplacesAndReplaceCreates)
{
    const QString folder = testenv::freshDir("shared");
    const QString path = folder + "/a.udl";
    platform::saveFileInFolder(path, "first", 0664, FileSaving::ReplaceExisting);
    EXPECT_TRUE(errorOf([&] { platform::saveFileInFolder(path, "second", 0664, FileSaving::NewOnly); })
                    .contains("exists already"));
    EXPECT_EQ(testenv::readFile(path), QByteArray("first"));
    platform::saveFileInFolder(path, "third", 0664, FileSaving::ReplaceExisting);
    EXPECT_EQ(testenv::readFile(path), QByteArray("third"));
}

} // namespace
