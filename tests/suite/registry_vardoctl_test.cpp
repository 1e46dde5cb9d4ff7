// vardoctl reg, run as a separate process on the test's private root: what scripts and
// administrators see, what another account may do, and what a concurrent reader sees.
#include "suite/registry.h"

#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using suite::RegistryRoot;

const RegistryRoot Machine = RegistryRoot::LocalMachine;

struct Outcome
{
    int code = -1;
    QString out;
    QString err;
};

QString vardoctl()
{
    return testenv::binDir() + "/vardoctl";
}

Outcome run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    Outcome result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Outcome reg(const QStringList &args)
{
    return run(vardoctl(), QStringList{"reg"} + args);
}

QString machineDir()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry";
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

TEST(RegistryVardoctl, AddsQueriesAndDeletes)
{
    Outcome r = reg({"add", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort", "8080"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    r = reg({"query", "hklm", "software\\tellvara\\vardo-service\\port\\", "tcpipport"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "8080\n");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"), "8080");

    EXPECT_EQ(reg({"add", "hkey_current_user", "Software\\Own", "", QString::fromUtf8("Åtkomst")}).code, 0);
    r = reg({"query", "HKCU", "Software\\Own"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QString::fromUtf8("Åtkomst\n"));
    EXPECT_EQ(reg({"query", "HKEY_LOCAL_MACHINE", "Software\\Own"}).out, "\n");
    EXPECT_EQ(reg({"query", "HKCU", "Software\\Own", "absent"}).out, "\n");

    r = reg({"delete", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(reg({"query", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"}).out, "\n");
}

TEST(RegistryVardoctl, DeleteRemovesThreeLevelsOfSubKeys)
{
    for (const char *path : {"Tree", "Tree\\A", "Tree\\A\\B", "Tree\\A\\B\\C"})
        ASSERT_TRUE(suite::WriteRegistryString(Machine, QStringLiteral("SOFTWARE\\") + path, "v", path));
    EXPECT_EQ(reg({"delete", "HKLM", "SOFTWARE\\Tree"}).code, 0);
    EXPECT_FALSE(QFile::exists(machineDir() + "/software/tree"));
    EXPECT_TRUE(QFile::exists(machineDir() + "/software"));
}

TEST(RegistryVardoctl, DeleteReportsAKeyThatStayed)
{
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Kept\\Sub", "v", "1"));
    testenv::writeFile(machineDir() + "/software/kept/sub/notes.txt", "not the store's");
    const Outcome r = reg({"delete", "HKLM", "SOFTWARE\\Kept"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Kept\\Sub", "v"), "");
}

TEST(RegistryVardoctl, AKeyPathHoldingDotsStaysInTheStore)
{
    EXPECT_EQ(reg({"add", "HKLM", "..\\..\\..\\..\\escape", "../v", "x"}).code, 0);
    EXPECT_FALSE(QFile::exists(qEnvironmentVariable("TELLVARA_ROOT") + "/escape"));
    EXPECT_FALSE(QFile::exists(testenv::root() + "/escape"));
    EXPECT_TRUE(QFile::exists(machineDir() + "/%2e%2e/%2e%2e/%2e%2e/%2e%2e/escape/%2e%2e%2fv.v"));
    EXPECT_EQ(reg({"query", "HKLM", "..\\..\\..\\..\\ESCAPE", "../V"}).out, "x\n");
}

TEST(RegistryVardoctl, UsageErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {},
        {"query"},
        {"query", "HKXX", "Key"},
        {"query", "HKLM"},
        {"query", "HKLM", "Key", "Value", "extra"},
        {"add", "HKLM", "Key", "Value"},
        {"add", "HKLM", "Key", "Value", "Data", "extra"},
        {"delete", "HKLM"},
        {"delete", "HKLM", "Key", "extra"},
        {"remove", "HKLM", "Key"},
    };
    for (const QStringList &args : cases) {
        const Outcome r = reg(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("vardoctl reg add ROOT KEY VALUE DATA")) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
}

TEST(RegistryVardoctl, AFailedWriteExitsWithOneAndTheReason)
{
    testenv::writeFile(machineDir() + "/software", "a file where a key should be");
    Outcome r = reg({"add", "HKLM", "SOFTWARE\\Tellvara", "v", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, systemText(ENOTDIR) + "\n");

    r = reg({"add", "HKCU", "Software", "v", QString(1025, u'x')});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("1024")) << r.err.toStdString();
}

// Root may write everything, so the rights are tried as the account "nobody".
class RegistryAsNobody : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_setpriv = QStandardPaths::findExecutable("setpriv");
        if (geteuid() != 0 || m_setpriv.isEmpty())
            GTEST_SKIP() << "needs root and setpriv to act as another account";
        umask(022);
        // The private root is the test's own: let another account reach the store in it.
        for (const QString &dir : {testenv::root(), qEnvironmentVariable("TELLVARA_ROOT")})
            chmod(QFile::encodeName(dir).constData(), 0755);
        if (asNobody({}).code != 2)
            GTEST_SKIP() << "nobody cannot run " << vardoctl().toStdString() << " here";
    }

    Outcome asNobody(const QStringList &regArgs)
    {
        return run(m_setpriv, QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--", vardoctl(), "reg"}
                                  + regArgs);
    }

private:
    QString m_setpriv;
};

TEST_F(RegistryAsNobody, KeysTheProgramCreatedAreWritableByEveryAccount)
{
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara\\Shared", "v", "by root"));
    Outcome r = asNobody({"add", "HKLM", "SOFTWARE\\Tellvara\\Shared", "v", "by nobody"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = asNobody({"add", "HKLM", "SOFTWARE\\Tellvara\\Shared\\New", "w", "new key"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Shared", "v"), "by nobody");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Shared\\New", "w"), "new key");
}

TEST_F(RegistryAsNobody, OtherKeysRefuseWithTheSystemText)
{
    // The store's root folder and a key made with the umask's rights belong to root alone.
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE", "v", "1"));
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_TRUE(platform::registryStore()
                    .createKey(Machine, "Protected", platform::KeyCreation::Default, key)
                    .ok());
    ASSERT_TRUE(key->setValue("v", "root's").ok());

    for (const QString &path : {QString("Other\\Key"), QString("Protected"), QString("Protected\\Sub")}) {
        const Outcome r = asNobody({"add", "HKLM", path, "v", "nobody's"});
        EXPECT_EQ(r.code, 1) << path.toStdString();
        EXPECT_EQ(r.err, systemText(EACCES) + "\n") << path.toStdString();
    }
    EXPECT_EQ(asNobody({"query", "HKLM", "Protected", "v"}).out, "root's\n");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Protected", "v"), "root's");
}

TEST(RegistryVardoctl, ReadersNeverSeeATornValue)
{
    const QString key = "SOFTWARE\\Tellvara\\Torn";
    const QString first(1000, u'a');
    const QString second(1000, u'b');
    ASSERT_TRUE(suite::WriteRegistryString(Machine, key, "Value", first));
    QProcess writer;
    writer.start("/bin/sh", {"-c",
                             "i=0; while [ $i -lt 25 ]; do "
                             "\"$0\" reg add HKLM \"$1\" Value \"$3\" || exit 1; "
                             "\"$0\" reg add HKLM \"$1\" Value \"$2\" || exit 1; "
                             "i=$((i+1)); done",
                             vardoctl(), key, first, second});
    ASSERT_TRUE(writer.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    int reads = 0;
    int torn = 0;
    while (!writer.waitForFinished(0) && clock.elapsed() < 90000) {
        const QString text = suite::ReadRegistryString(Machine, key, "Value");
        if (text != first && text != second)
            ++torn;
        ++reads;
    }
    if (writer.state() != QProcess::NotRunning) {
        writer.kill();
        writer.waitForFinished();
        FAIL() << "the writer did not finish in time";
    }
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_GT(reads, 0);
}

} // namespace
