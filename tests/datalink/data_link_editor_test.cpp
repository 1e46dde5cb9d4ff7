#include "datalink/core/data_link_editor.h"

#include "platform/error.h"
#include "suite/ini_reader.h"
#include "datalink_test_support.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

using datalink::DataLinkEditor;
using datalink::DataLinkFields;
using datalink::ProviderKind;


const QString Comment = "; Everything after this line is an OLE DB initstring";

TEST(DataLinkEditor, AnEmptyOrMissingFileIsANewDataLink)
{
    const QString folder = testenv::freshDir("links");
    testenv::writeFile(folder + "/empty.udl", "");
    for (const QString &path : {folder + "/empty.udl", folder + "/missing.udl"}) {
        const DataLinkEditor editor(path);
        EXPECT_TRUE(editor.isNew()) << qPrintable(path);
        EXPECT_EQ(editor.fields().kind, ProviderKind::SQLite);
        EXPECT_EQ(editor.fields().dataSource, "");
    }
}

TEST(DataLinkEditor, WhatItSavesReadsBackToTheExactConnectionString)
{
    const QString path = testenv::freshDir("links") + "/Praktik.udl";
    testenv::writeFile(path, "");
    DataLinkEditor editor(path);
    const DataLinkFields fields{ProviderKind::SqlServer, "db.example.test,1433", "Vårdö", "", "FreeTDS", "sa", "p;w", true};
    editor.save(fields);
    const QString expected = "Provider=SQLOLEDB;Data Source=db.example.test,1433;Initial Catalog=Vårdö;Driver=FreeTDS;"
                             "User ID=sa;Password=\"p;w\";Persist Security Info=True";
    EXPECT_EQ("Provider=" + suite::ReadIniValue(path, "oledb", "Provider"), expected);
    EXPECT_EQ(testenv::readFile(path), datalinktest::utf16WithMark("[oledb]\r\n" + Comment + "\r\n" + expected + "\r\n"));
    EXPECT_FALSE(editor.isNew());
    // Opened again, the editor shows the same fields.
    const DataLinkFields again = DataLinkEditor(path).fields();
    EXPECT_EQ(again.dataSource, fields.dataSource);
    EXPECT_EQ(again.database, fields.database);
    EXPECT_EQ(again.password, fields.password);
    EXPECT_TRUE(again.savePassword);
}

TEST(DataLinkEditor, AHandWrittenFileKeepsWhatTheEditorDoesNotKnow)
{
    const QString path = testenv::freshDir("links") + "/hand.udl";
    testenv::writeFile(path, datalinktest::utf16WithMark("[oledb]\r\n" + Comment + "\r\n"
                                   "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                                   "Initial Catalog=Praktik;Data Source=old-server;Packet Size=4096;"
                                   "Application Name=\"Vardo; admin\"\r\n"));
    DataLinkEditor editor(path);
    DataLinkFields fields = editor.fields();
    EXPECT_EQ(fields.kind, ProviderKind::SqlServer);
    EXPECT_EQ(fields.dataSource, "old-server");
    fields.dataSource = "new-server";
    editor.save(fields);
    EXPECT_EQ(suite::ReadIniValue(path, "OLEDB", "provider"),
              "SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=Praktik;"
              "Data Source=new-server;Packet Size=4096;Application Name=\"Vardo; admin\"");
}

TEST(DataLinkEditor, AnEightBitFileIsReadAndSavedInTheEditorsFormat)
{
    const QString path = testenv::freshDir("links") + "/ansi.udl";
    testenv::writeFile(path, "[oledb]\n; comment\nProvider=SQLite;Data Source=/srv/a.db\n");
    DataLinkEditor editor(path);
    EXPECT_EQ(editor.fields().dataSource, "/srv/a.db");
    editor.save(editor.fields());
    EXPECT_EQ(testenv::readFile(path), datalinktest::utf16WithMark("[oledb]\r\n" + Comment + "\r\nProvider=SQLite;Data Source=/srv/a.db\r\n"));
}

TEST(DataLinkEditor, AUtf8FileWrittenByHandKeepsItsLetters)
{
    const QString path = testenv::freshDir("links") + "/hand.udl";
    testenv::writeFile(path, "[oledb]\nProvider=SQLite;Data Source=/srv/v\xC3\xA5rdcentral.sqlite\n");
    DataLinkEditor editor(path);
    EXPECT_EQ(editor.fields().dataSource, "/srv/vårdcentral.sqlite");
    editor.save(editor.fields());
    EXPECT_EQ(suite::ReadIniValue(path, "oledb", "Provider"), "SQLite;Data Source=/srv/vårdcentral.sqlite");
}

TEST(DataLinkEditor, SpecialFilesAndLinksAreRefusedWithoutBeingRead)
{
    const QString folder = testenv::freshDir("links");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/fifo.udl").constData(), 0664), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "/zero.udl"));
    testenv::writeFile(folder + "/real.udl", "");
    ASSERT_TRUE(QFile::link(folder + "/real.udl", folder + "/link.udl"));
    for (const char *name : {"fifo.udl", "zero.udl", "link.udl"}) {
        const QString path = folder + "/" + QString::fromLatin1(name);
        try {
            DataLinkEditor editor(path);
            ADD_FAILURE() << "no error for " << name;
        } catch (const platform::Error &e) {
            EXPECT_TRUE(e.message().contains(path)) << qPrintable(e.message());
        }
    }
}

TEST(DataLinkEditor, DamagedFilesAreRefusedWithTheirName)
{
    const QString folder = testenv::freshDir("links");
    const QByteArray damaged[] = {
        QByteArray("\xFF\xFE[\x00o", 5),                           // odd byte count
        QByteArray("[oledb]\nProvider=x\0y\n", 21),                // NUL
        QByteArray("\xEF\xBB\xBF[oledb]\nProvider=SQLite;Data Source=/srv/v\xE5rd.db\n"), // marked UTF-8 that is not
        datalinktest::utf16WithMark("[oledb]\r\nProvider=SQLite;Data Source=\"open\r\n"), // unterminated quote
    };
    int i = 0;
    for (const QByteArray &bytes : damaged) {
        const QString path = folder + QString("/damaged%1.udl").arg(++i);
        testenv::writeFile(path, bytes);
        try {
            DataLinkEditor editor(path);
            ADD_FAILURE() << "no error for " << qPrintable(path);
        } catch (const platform::Error &e) {
            EXPECT_TRUE(e.message().contains(path)) << qPrintable(e.message());
        }
    }
}

TEST(DataLinkEditor, SavingGivesTheDataLinksModeWhateverItWas)
{
    const QString path = testenv::freshDir("links") + "/shared.udl";
    testenv::writeFile(path, "");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0604), 0);
    DataLinkEditor editor(path);
    struct stat info {};
    editor.save({ProviderKind::SqlServer, "db", "", "", "", "sa", "hemligt", true});
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0660u) << "a password is no one's but the group's";
    editor.save({ProviderKind::SQLite, "/srv/a.db", "", "", "", "", "", false});
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.udl"})
        << "no temporary file is left behind";
}

// A folder this process may not write to: as root an immutable folder, else a read-only one.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(path)
    {
        if (::geteuid() == 0) {
            m_immutable = QProcess::execute("chattr", {"+i", m_path}) == 0;
        } else {
            m_immutable = false;
            ::chmod(QFile::encodeName(m_path).constData(), 0555);
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            QProcess::execute("chattr", {"-i", m_path});
        ::chmod(QFile::encodeName(m_path).constData(), 0755);
    }
    // False when the folder could not be made unwritable here (a file system without chattr).
    bool holds() const { return ::access(QFile::encodeName(m_path + "/probe").constData(), F_OK) != 0 && !writable(); }

private:
    bool writable() const
    {
        QFile probe(m_path + "/probe");
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.remove();
        return true;
    }

    QString m_path;
    bool m_immutable = false;
};

TEST(DataLinkEditor, ASaveThatCannotBeWrittenReportsItAndKeepsTheOldFile)
{
    const QString folder = testenv::freshDir("locked");
    const QString path = folder + "/Praktik.udl";
    testenv::writeFile(path, datalinktest::utf16WithMark("[oledb]\r\n" + Comment + "\r\nProvider=SQLite;Data Source=/srv/old.db\r\n"));
    const QByteArray before = testenv::readFile(path);
    DataLinkEditor editor(path);
    const ReadOnlyFolder locked(folder);
    if (!locked.holds())
        GTEST_SKIP() << "the folder cannot be made unwritable here";
    try {
        editor.save({ProviderKind::SQLite, "/srv/new.db", "", "", "", "", "", false});
        FAIL() << "no error";
    } catch (const platform::Error &e) {
        EXPECT_TRUE(e.message().startsWith("Cannot save " + path + ": ")) << qPrintable(e.message());
    }
    EXPECT_EQ(testenv::readFile(path), before);
}

} // namespace
