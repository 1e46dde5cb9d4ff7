// The bash completion of vardoctl and zlb, run in bash with the built programs on PATH:
// what a user gets after typing each line and pressing Tab.
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString BashCompletion = QStringLiteral("/usr/share/bash-completion/bash_completion");

// The candidates bash offers for the line, one a line, sorted.
QStringList complete(const QString &function, const QString &line)
{
    const QString script = QStringLiteral(
        "source %1\n"
        "source \"$VARDO_SOURCE_DIR/data/completion/vardoctl\"\n"
        "source \"$VARDO_SOURCE_DIR/data/completion/zlb\"\n"
        "PATH=\"$VARDO_BIN_DIR:$PATH\"\n"
        "COMP_LINE=$1; COMP_POINT=${#1}\n"
        "read -ra COMP_WORDS <<<\"$1\"\n"
        "[[ $1 == *' ' ]] && COMP_WORDS+=('')\n"
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
        "%2 2>/dev/null\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\" | sort -u\n")
                               .arg(BashCompletion, function);
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script, QStringLiteral("bash"), line});
    EXPECT_TRUE(bash.waitForFinished(30000));
    return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QString dataLinkFolder()
{
    return testenv::root() + QStringLiteral("/system/var/lib/tellvara/common-files/System/Ole DB/Data Links");
}

class ShellCompletion : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(BashCompletion))
            GTEST_SKIP() << "bash-completion is not installed";
    }
};

TEST_F(ShellCompletion, VardoctlOffersCommandsSubCommandsAndOptionsFromItsUsage)
{
    const struct
    {
        const char *line;
        QStringList expected;
    } cases[] = {
        {"vardoctl s", {"service", "settings"}},
        {"vardoctl service ", {"install-local", "start", "status", "stop"}},
        {"vardoctl org ", {"add", "delete", "edit", "list", "show"}},
        {"vardoctl org edit 1 --", {"--cert", "--check-pasis", "--datalink", "--orgnr"}},
        {"vardoctl reg query HKEY_L", {"HKEY_LOCAL_MACHINE"}},
        {"vardoctl settings set Tcp", {"TcpIPPort="}},
        {"vardoctl --v", {"--version"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(complete(QStringLiteral("_vardoctl"), QLatin1String(c.line)), c.expected) << c.line;
}

TEST_F(ShellCompletion, VardoctlOffersTheListedSlotsAndTheDataLinks)
{
    const QString vardoctl = testenv::binDir() + QStringLiteral("/vardoctl");
    const QString link = testenv::root() + QStringLiteral("/Praktik.udl"); // outside the folder listed below
    testenv::writeFile(link, "[oledb]\r\nProvider=SQLite;Data Source=/srv/p.db\r\n");
    for (const char *number : {"5566", "7788"})
        ASSERT_EQ(QProcess::execute(vardoctl, {"org", "add", "--orgnr", QLatin1String(number), "--datalink", link}), 0);
    testenv::writeFile(dataLinkFolder() + QStringLiteral("/Praktik A.udl"), "");
    testenv::writeFile(dataLinkFolder() + QStringLiteral("/Praktik B.UDL"), "");
    testenv::writeFile(dataLinkFolder() + QStringLiteral("/notes.txt"), "");

    EXPECT_EQ(complete(QStringLiteral("_vardoctl"), QStringLiteral("vardoctl org delete ")), (QStringList{"1", "2"}));
    EXPECT_EQ(complete(QStringLiteral("_vardoctl"), QStringLiteral("vardoctl org add --datalink Praktik")),
              (QStringList{"Praktik A.udl", "Praktik B.UDL"}));
    EXPECT_EQ(complete(QStringLiteral("_vardoctl"), QStringLiteral("vardoctl settings set DefaultDataProvider=")),
              (QStringList{"Praktik A.udl", "Praktik B.UDL"}));
}

TEST_F(ShellCompletion, ZlbOffersCommandsOptionsAndTheEntriesOfTheArchive)
{
    const QString folder = testenv::freshDir(QStringLiteral("completion"));
    testenv::writeFile(folder + QStringLiteral("/src/one file.txt"), "1");
    testenv::writeFile(folder + QStringLiteral("/src/sub/two.txt"), "2");
    QProcess zlb;
    zlb.setWorkingDirectory(folder);
    zlb.start(testenv::binDir() + QStringLiteral("/zlb"), {"a", "docs.zlb", "src", "-r", "-p"});
    ASSERT_TRUE(zlb.waitForFinished(30000));
    ASSERT_EQ(zlb.exitCode(), 0);
    ASSERT_TRUE(QDir::setCurrent(folder));

    EXPECT_EQ(complete(QStringLiteral("_zlb"), QStringLiteral("zlb m")), QStringList{"mv"});
    EXPECT_EQ(complete(QStringLiteral("_zlb"), QStringLiteral("zlb --c")), QStringList{"--check"});
    EXPECT_EQ(complete(QStringLiteral("_zlb"), QStringLiteral("zlb x docs.zlb ")),
              (QStringList{"src/one file.txt", "src/sub/two.txt"}));
    EXPECT_EQ(complete(QStringLiteral("_zlb"), QStringLiteral("zlb d docs.zlb -p src/s")), QStringList{"src/sub/two.txt"});
}

} // namespace
