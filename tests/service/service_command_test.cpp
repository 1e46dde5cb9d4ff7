// vardoctl service status|start|stop on a scripted service manager: the state it prints
// and the exit code, decided as the window's buttons decide.
#include "service_process.h"

using namespace servicetest;

namespace {

// What follows a start or stop refused for the caller's rights.
const QString RightsHint = QStringLiteral(
    "Starting and stopping the service needs membership of the group \"tellvara\";\n"
    "an administrator grants it with: adduser USER tellvara (then log in again).\n");

QProcessEnvironment scripted(const char *script)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELLVARA_SERVICE_MANAGER"), QStringLiteral("scripted"));
    env.insert(QStringLiteral("TELLVARA_SERVICE_SCRIPT"),
               testenv::sourceDir() + QStringLiteral("/tests/data/service_control/") + QLatin1String(script) + ".script");
    return env;
}

} // namespace

TEST(ServiceCommand, PrintsTheStateAndExitsAsTheButtonsDecide)
{
    const struct
    {
        const char *script;
        const char *action;
        int exitCode;
        const char *out;
        QString err;
    } cases[] = {
        {"running", "status", 0, "SERVICE_RUNNING\n", ""},
        {"not_installed", "status", 1, "", "Could not retrieve current status on selected Service\n"},
        {"rising_then_running", "start", 0, "SERVICE_RUNNING\n", ""},
        {"checkpoint_drops", "start", 1, "SERVICE_START_PENDING\n", "An error occurred while trying to start the service!\n"},
        {"running", "start", 1, "SERVICE_RUNNING\n", "An error occurred while trying to start the service!\n"},
        {"running", "stop", 0, "SERVICE_STOPPED\n", ""},
        {"stopped", "stop", 0, "SERVICE_STOPPED\n", ""},
        {"control_denied", "stop", 1, "SERVICE_RUNNING\n",
         "An error occurred while trying to stop the service!\n" + RightsHint},
        {"control_denied", "start", 1, "SERVICE_RUNNING\n",
         "An error occurred while trying to start the service!\n" + RightsHint},
        {"not_installed", "stop", 1, "",
         "An error occurred while trying to stop the service!\nCould not retrieve current status on selected Service\n"},
    };
    for (const auto &c : cases) {
        const CommandResult result = vardoctl({"service", c.action}, {}, scripted(c.script));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script << ' ' << c.action;
        EXPECT_EQ(result.out, QString::fromUtf8(c.out)) << c.script << ' ' << c.action;
        EXPECT_EQ(result.err, c.err) << c.script << ' ' << c.action;
    }
}

TEST(ServiceCommand, UsageErrorsAndAnUnknownManager)
{
    for (const QStringList &args : {QStringList{"service"}, QStringList{"service", "restart"}, QStringList{"service", "status", "x"}})
        EXPECT_EQ(vardoctl(args).exitCode, 2) << qPrintable(args.join(' '));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELLVARA_SERVICE_MANAGER"), QStringLiteral("upstart"));
    const CommandResult result = vardoctl({"service", "status"}, {}, env);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("TELLVARA_SERVICE_MANAGER"))) << qPrintable(result.err);
}
