// vardoctl reg, run as a separate process on the test's private root: what scripts and
// administrators see, what another account may do, and what a concurrent reader sees.
#include "suite/registry.h"

#include "program_run.h"
#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using suite::RegistryRoot;

const RegistryRoot Machine = RegistryRoot::LocalMachine;

using Outcome = testenv::ProgramRun;

QString vardoctl()
{
    return testenv::binDir() + "/vardoctl";
}

Outcome run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    testenv::RunOptions options;
    options.input = input;
    options.limitMs = 60000;
    return testenv::runProgram(program, args, options);
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
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    r = reg({"query", "hklm", "software\\tellvara\\vardo-service\\port\\", "tcpipport"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "8080\n");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"), "8080");

    EXPECT_EQ(reg({"add", "hkey_current_user", "Software\\Own", "", QString::fromUtf8("Åtkomst")}).exitCode, 0);
    r = reg({"query", "HKCU", "Software\\Own"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString::fromUtf8("Åtkomst\n"));
    EXPECT_EQ(reg({"query", "HKEY_LOCAL_MACHINE", "Software\\Own"}).out, "\n");
    EXPECT_EQ(reg({"query", "HKCU", "Software\\Own", "absent"}).out, "\n");

    r = reg({"delete", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(reg({"query", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"}).out, "\n");
}

TEST(RegistryVardoctl, DeleteRemovesThreeLevelsOfSubKeys)
{
    for (const char *path : {"Tree", "Tree\\A", "Tree\\A\\B", "Tree\\A\\B\\C"})
        ASSERT_TRUE(suite::WriteRegistryString(Machine, QStringLiteral("SOFTWARE\\") + path, "v", path));
    EXPECT_EQ(reg({"delete", "HKLM", "SOFTWARE\\Tree"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(machineDir() + "/software/tree"));
    EXPECT_TRUE(QFile::exists(machineDir() + "/software"));
}

TEST(RegistryVardoctl, DeletingTheWholeRootAsksFirst)
{
    const struct
    {
        QStringList args;
        QByteArray input;
        int code;
        bool emptied;
    } cases[] = {
        {{"\\"}, "n\n", 1, false},
        {{""}, "", 1, false}, // no answer at all counts as no
        {{"\\"}, "y\n", 0, true},
        {{"", "--yes"}, "", 0, true},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Keep", "v", "1"));
        const Outcome r = run(vardoctl(), QStringList{"reg", "delete", "HKLM"} + c.args, c.input);
        const QString label = c.args.join(' ') + " / " + QString::fromLatin1(c.input);
        EXPECT_EQ(r.exitCode, c.code) << label.toStdString() << r.err.toStdString();
        EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Keep", "v").isEmpty(), c.emptied) << label.toStdString();
        EXPECT_EQ(r.err.contains("Empty the whole HKLM store"), c.args.size() == 1) << label.toStdString();
    }
}

TEST(RegistryVardoctl, DeleteReportsAKeyThatStayed)
{
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Kept\\Sub", "v", "1"));
    testenv::writeFile(machineDir() + "/software/kept/sub/notes.txt", "not the store's");
    const Outcome r = reg({"delete", "HKLM", "SOFTWARE\\Kept"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Kept\\Sub", "v"), "");
}

TEST(RegistryVardoctl, AKeyPathHoldingDotsStaysInTheStore)
{
    EXPECT_EQ(reg({"add", "HKLM", "..\\..\\..\\..\\escape", "../v", "x"}).exitCode, 0);
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
        {"delete", "HKLM", "Key", "--yes", "extra"},
        {"remove", "HKLM", "Key"},
    };
    for (const QStringList &args : cases) {
        const Outcome r = reg(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("vardoctl reg add ROOT KEY VALUE DATA")) << r.err.toStdString();
        EXPECT_EQ(r.out, "");
    }
}

TEST(RegistryVardoctl, AFailedWriteExitsWithOneAndTheReason)
{
    testenv::writeFile(machineDir() + "/software", "a file where a key should be");
    Outcome r = reg({"add", "HKLM", "SOFTWARE\\Tellvara", "v", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, systemText(ENOTDIR) + "\n");

    r = reg({"add", "HKCU", "Software", "v", QString(1025, u'x')});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("1024")) << r.err.toStdString();
}

// Root may write everything, so the rights are tried as the account "nobody": once outside
// the store's group (root's group in this private root), once as a member of it.
class RegistryAsNobody : public ::testing::TestWithParam<mode_t>
{
protected:
    void SetUp() override
    {
        m_setpriv = QStandardPaths::findExecutable("setpriv");
        if (geteuid() != 0 || m_setpriv.isEmpty())
            GTEST_SKIP() << "needs root and setpriv to act as another account";
        umask(GetParam()); // also the umask of the programs run as nobody
        // The private root is the test's own: let another account reach the store in it.
        for (const QString &dir : {testenv::root(), qEnvironmentVariable("TELLVARA_ROOT")})
            chmod(QFile::encodeName(dir).constData(), 0755);
        if (asNobody({}).exitCode != 2)
            GTEST_SKIP() << "nobody cannot run " << vardoctl().toStdString() << " here";
    }

    // vardoctl reg as nobody, outside every group of root's.
    Outcome asNobody(const QStringList &regArgs) { return asAccount(65534, "--clear-groups", regArgs); }
    // vardoctl reg as another account, a member of the store's group.
    Outcome asGroupMember(const QStringList &regArgs)
    {
        return asAccount(65533, QStringLiteral("--groups=%1").arg(getegid()), regArgs);
    }

private:
    Outcome asAccount(uid_t uid, const QString &groups, const QStringList &regArgs)
    {
        return run(m_setpriv, QStringList{QStringLiteral("--reuid=%1").arg(uid), "--regid=65534", groups, "--",
                                          vardoctl(), "reg"}
                                  + regArgs);
    }

    QString m_setpriv;
};

TEST_P(RegistryAsNobody, AnAccountOutsideTheGroupReadsButCannotWrite)
{
    const QString key = "SOFTWARE\\Tellvara\\Vardo-Service\\DataProvider";
    ASSERT_TRUE(suite::WriteRegistryString(Machine, key, "DefaultDataProvider", "/srv/praktik.udl"));

    EXPECT_EQ(asNobody({"query", "HKLM", key, "DefaultDataProvider"}).out, "/srv/praktik.udl\n");
    for (const QString &path : {key, key + "\\New"}) {
        const Outcome r = asNobody({"add", "HKLM", path, "DefaultDataProvider", "/tmp/evil.udl"});
        EXPECT_EQ(r.exitCode, 1) << path.toStdString();
        EXPECT_EQ(r.err, systemText(EACCES) + "\n") << path.toStdString();
    }
    EXPECT_EQ(asNobody({"delete", "HKLM", key}).exitCode, 1);
    EXPECT_EQ(suite::ReadRegistryString(Machine, key, "DefaultDataProvider"), "/srv/praktik.udl");
}

TEST_P(RegistryAsNobody, AMemberOfTheGroupWritesAndCreatesKeys)
{
    const QString key = "SOFTWARE\\Tellvara\\Shared";
    ASSERT_TRUE(suite::WriteRegistryString(Machine, key, "v", "by root"));
    Outcome r = asGroupMember({"add", "HKLM", key, "v", "by a member"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = asGroupMember({"add", "HKLM", key + "\\New", "w", "new key"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(suite::ReadRegistryString(Machine, key, "v"), "by a member");
    EXPECT_EQ(suite::ReadRegistryString(Machine, key + "\\New", "w"), "new key");

    // What the member created stays in the group, so root's own writes still work, and an
    // account outside the group still may not write it.
    ASSERT_TRUE(suite::WriteRegistryString(Machine, key + "\\New", "w", "by root again"));
    EXPECT_EQ(asNobody({"add", "HKLM", key + "\\New", "w", "x"}).exitCode, 1);
}

TEST_P(RegistryAsNobody, KeysThatExistKeepTheirRights)
{
    // A key made with the umask's rights (here made root's alone) stays so; the store's
    // root folder lets only the group create top-level keys.
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE", "v", "1"));
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_TRUE(platform::registryStore()
                    .createKey(Machine, "Protected", platform::KeyCreation::Default, key)
                    .ok());
    ASSERT_TRUE(key->setValue("v", "root's").ok());
    chmod(QFile::encodeName(qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry/protected").constData(),
          0755);

    EXPECT_EQ(asNobody({"add", "HKLM", "Other\\Key", "v", "nobody's"}).exitCode, 1);
    for (const QString &path : {QString("Protected"), QString("Protected\\Sub")}) {
        const Outcome r = asGroupMember({"add", "HKLM", path, "v", "member's"});
        EXPECT_EQ(r.exitCode, 1) << path.toStdString();
        EXPECT_EQ(r.err, systemText(EACCES) + "\n") << path.toStdString();
    }
    EXPECT_EQ(asNobody({"query", "HKLM", "Protected", "v"}).out, "root's\n");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Protected", "v"), "root's");
}

INSTANTIATE_TEST_SUITE_P(Umasks, RegistryAsNobody, ::testing::Values(mode_t(077), mode_t(000)),
                         [](const auto &info) { return info.param == 0 ? std::string("Umask000") : std::string("Umask077"); });

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
