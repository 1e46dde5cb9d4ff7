// Every program answers --help and --version and refuses a wrong command line with the
// usage, as the built programs do when a user types them.
#include "program_run.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QProcessEnvironment>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ProgramCase
{
    const char *program;
    QStringList wrongArguments; // a command line the program must refuse as a usage error
};

void PrintTo(const ProgramCase &c, std::ostream *os)
{
    *os << c.program << ' ' << c.wrongArguments.join(u' ').toStdString();
}

using testenv::ProgramRun;

// Without a display and without Qt's platform choice: --help and --version must not need one.
ProgramRun run(const QString &program, const QStringList &args)
{
    testenv::RunOptions options;
    options.environment.remove(QStringLiteral("DISPLAY"));
    options.environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    options.environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return testenv::runProgram(testenv::binDir() + u'/' + program, args, options);
}

class ProgramOptions : public testing::TestWithParam<ProgramCase>
{
};

TEST_P(ProgramOptions, HelpPrintsTheUsageOnStandardOutput)
{
    const ProgramRun help = run(GetParam().program, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("usage")));
    EXPECT_TRUE(help.out.contains(QLatin1String(GetParam().program)));
    EXPECT_EQ(help.err, QString());
}

TEST_P(ProgramOptions, VersionPrintsTheProjectVersion)
{
    const ProgramRun version = run(GetParam().program, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("%1 %2\n").arg(QLatin1String(GetParam().program), QStringLiteral(VARDO_PROJECT_VERSION)));
    EXPECT_EQ(version.err, QString());
}

TEST_P(ProgramOptions, AWrongCommandLineExitsTwoWithTheUsageOnStandardError)
{
    const ProgramRun wrong = run(GetParam().program, GetParam().wrongArguments);
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("usage")));
    EXPECT_EQ(wrong.out, QString());
}

const ProgramCase AllCases[] = {
    {"vardo-admin", {"--no-such-option"}},
    {"vardo-admin", {"--screenshot"}},
    {"vardoctl", {}},
    {"vardoctl", {"no-such-command"}},
    {"zlb", {"--no-such-option"}},
    {"zlb", {"l"}},
    {"vardo-service", {"--no-such-option"}},
    {"vardo-datalink", {"--no-such-option"}},
};

// The cases of the programs this build made.
std::vector<ProgramCase> builtCases()
{
    const QStringList built = QStringLiteral(VARDO_BUILT_PROGRAMS).split(u',');
    std::vector<ProgramCase> cases;
    for (const ProgramCase &c : AllCases) {
        if (built.contains(QLatin1String(c.program)))
            cases.push_back(c);
    }
    return cases;
}

std::string caseName(const testing::TestParamInfo<ProgramCase> &info)
{
    std::string name = std::to_string(info.index) + "_" + info.param.program;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

// "vardoctl COMMAND --help" is a question about that command, answered on standard output.
TEST(VardoctlCommands, HelpPrintsTheCommandsUsageOnStandardOutput)
{
    if (!QStringLiteral(VARDO_BUILT_PROGRAMS).split(u',').contains(QLatin1String("vardoctl")))
        GTEST_SKIP() << "vardoctl is not built";
    for (const char *command : {"org", "cert", "db", "reg", "settings", "service", "datalink", "paths", "probe", "trial", "dialup"}) {
        const ProgramRun help = run(QStringLiteral("vardoctl"), {QLatin1String(command), QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage:\nvardoctl %1").arg(QLatin1String(command))))
            << command << ": " << help.out.toStdString();
        EXPECT_EQ(help.err, QString()) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramOptions, testing::ValuesIn(builtCases()), caseName);

} // namespace
