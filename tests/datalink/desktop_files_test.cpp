// The editor's desktop entry and its MIME type, as a desktop finds them.
#include "datalink_test_support.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QString MimeType = QStringLiteral("application/x-tellvara-datalink");

QString sourceFile(const QString &name)
{
    return testenv::sourceDir() + "/datalink/" + name;
}


TEST(DesktopFiles, TheDesktopEntryIsValidAndOpensTheType)
{
    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    if (validate.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (desktop-file-utils)";
    QProcess process;
    process.start(validate, {sourceFile("vardo-datalink.desktop")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().constData();
    const QByteArray entry = testenv::readFile(sourceFile("vardo-datalink.desktop"));
    EXPECT_TRUE(entry.contains("\nMimeType=" + MimeType.toUtf8() + ";\n"));
    EXPECT_TRUE(entry.contains("\nExec=vardo-datalink %f\n"));
}

// Qt reads the MIME packages of XDG_DATA_DIRS like every desktop does; this process's
// database sees only the project's package besides the system's.
TEST(DesktopFiles, TheTypeIsKnownByNameAndByItsUtf16Start)
{
    const QString share = testenv::freshDir("share");
    ASSERT_TRUE(QDir().mkpath(share + "/mime/packages"));
    ASSERT_TRUE(QFile::copy(sourceFile("vardo-datalink.xml"), share + "/mime/packages/vardo-datalink.xml"));
    qputenv("XDG_DATA_DIRS", (share + ":/usr/share").toUtf8());
    const QMimeDatabase db;
    EXPECT_EQ(db.mimeTypeForFile("Praktik.udl", QMimeDatabase::MatchExtension).name(), MimeType);
    EXPECT_EQ(db.mimeTypeForFile("PRAKTIK.UDL", QMimeDatabase::MatchExtension).name(), MimeType);
    const QByteArray dataLink = datalinktest::utf16WithMark("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                                      "Provider=SQLite;Data Source=/srv/a.db\r\n");
    EXPECT_EQ(db.mimeTypeForData(dataLink).name(), MimeType);
    EXPECT_NE(db.mimeTypeForData(datalinktest::utf16WithMark("[other]\r\n")).name(), MimeType);
}

} // namespace
