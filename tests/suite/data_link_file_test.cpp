#include "suite/data_link_file.h"

#include "platform/error.h"
#include "suite/ini_reader.h"
#include "suite/paths.h"
#include "file_checks.h"
#include "test_env.h"

#include "qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <functional>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using testenv::errorOf;
using testenv::isLink;
using testenv::modeOf;

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Something precious outside the data-link folder, and its state to compare with.
struct Outside
{
    QString path = testenv::freshDir("outside") + "/precious.conf";
    QByteArray bytes = "precious\n";
    unsigned mode = 0640;

    Outside()
    {
        testenv::writeFile(path, bytes);
        ::chmod(QFile::encodeName(path).constData(), mode);
    }
    void expectUnchanged() const
    {
        EXPECT_EQ(testenv::readFile(path), bytes);
        EXPECT_EQ(modeOf(path), mode);
        EXPECT_EQ(entriesOf(QFileInfo(path).path()), QStringList{"precious.conf"});
    }
};

const QString WithPassword = "Provider=SQLOLEDB;Data Source=db;User ID=sa;Password=hemligt";
const QString WithoutPassword = "Provider=SQLite;Data Source=/srv/a.db";

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

TEST(DataLinkFile, APlantedLinkIsRefusedAndNotFollowed)
{
    const Outside outside;
    const QString folder = testenv::freshDir("links");
    const QString link = folder + "/Filial.udl";
    ASSERT_TRUE(QFile::link(outside.path, link));
    const QString error = errorOf([&] { suite::WriteDataLinkFile(link, WithoutPassword); });
    EXPECT_TRUE(error.contains(link) && error.contains("symbolic link")) << qPrintable(error);
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(entriesOf(folder), QStringList{"Filial.udl"}) << "no temporary file is left behind";
    outside.expectUnchanged();
}

TEST(DataLinkFile, ASwappedTemporaryFileNeverLeadsAWriteOutside)
{
    const Outside outside;
    const QString folder = testenv::freshDir("links");
    const QString target = folder + "/Filial.udl";
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray outsideName = QFile::encodeName(outside.path);
    std::atomic<bool> stop{false};
    // A hostile member of the folder's group: every hidden entry that shows up (a
    // temporary file) is replaced by a link to the precious file.
    std::thread attacker([&] {
        const QByteArray planted = folderName + "/_planted";
        while (!stop) {
            DIR *dir = ::opendir(folderName.constData());
            if (!dir)
                continue;
            while (const dirent *entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                if (!name.startsWith('.') || name == "." || name == "..")
                    continue;
                ::unlink(planted.constData());
                if (::symlink(outsideName.constData(), planted.constData()) == 0)
                    ::rename(planted.constData(), (folderName + '/' + name).constData());
            }
            ::closedir(dir);
        }
    });
    int saved = 0;
    for (int round = 0; round < 300 && !testing::Test::HasFailure(); ++round) {
        const QString connection = WithoutPassword + QString::number(round);
        if (errorOf([&] { suite::WriteDataLinkFile(target, connection); }).isEmpty()) {
            ++saved;
            // What was reported saved is the file written, never a link.
            EXPECT_FALSE(isLink(target)) << round;
            EXPECT_EQ(suite::ConnectionStringOf(target), connection) << round;
        }
        // A swap that was noticed leaves a link, refused from then on: take it away.
        if (isLink(target))
            QFile::remove(target);
        outside.expectUnchanged();
    }
    stop = true;
    attacker.join();
    EXPECT_GT(saved, 0);
}

TEST(DataLinkFile, ThePasswordDecidesTheModeWhateverTheUmask)
{
    const QString folder = testenv::freshDir("links");
    for (const mode_t mask : {mode_t(0), mode_t(077)}) {
        const mode_t old = ::umask(mask);
        const QString path = folder + QString("/umask%1.udl").arg(mask);
        suite::WriteDataLinkFile(path, WithPassword);
        EXPECT_EQ(modeOf(path), 0660u) << "umask " << mask;
        suite::WriteDataLinkFile(path, WithoutPassword);
        EXPECT_EQ(modeOf(path), 0664u) << "umask " << mask;
        suite::WriteDataLinkFile(path, "Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={a}\"");
        EXPECT_EQ(modeOf(path), 0660u) << "umask " << mask;
        ::umask(old);
    }
}

TEST(DataLinkFile, AConnectionStringTheReaderWouldCutIsRefused)
{
    const QString path = testenv::freshDir("links") + "/a.udl";
    const QString longest = "Provider=" + QString(suite::IniValueMaxLength, u'x');
    suite::WriteDataLinkFile(path, longest);
    EXPECT_EQ(suite::ConnectionStringOf(path), longest);
    const QString error = errorOf([&] { suite::WriteDataLinkFile(path, longest + "y"); });
    EXPECT_TRUE(error.contains("256 characters") && error.contains("at most 255")) << qPrintable(error);
    EXPECT_EQ(suite::ConnectionStringOf(path), longest);
}

TEST(DataLinkFile, TheLongestNameSaves)
{
    const QString folder = testenv::freshDir("links");
    // 255 bytes with ".udl"; å takes two.
    const QString name = QString(124, u'å') + "abc.udl";
    ASSERT_EQ(QFile::encodeName(name).size(), 255);
    suite::WriteDataLinkFile(folder + "/" + name, WithoutPassword);
    suite::WriteDataLinkFile(folder + "/" + name, WithPassword);
    EXPECT_EQ(suite::ConnectionStringOf(folder + "/" + name), WithPassword);
    EXPECT_EQ(entriesOf(folder), QStringList{name});
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
