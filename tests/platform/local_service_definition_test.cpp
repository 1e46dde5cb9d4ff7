// The local supervisor's definition files: the unit-file form, the ExecStart word rules
// and the template that vardoctl fills.
#include "platform/local/local_service_definition.h"

#include "platform/error.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace platform::local;

TEST(LocalServiceDefinition, ExecStartWords)
{
    const struct
    {
        const char *line;
        QStringList words;
    } cases[] = {
        {"/usr/bin/vardo-service", {"/usr/bin/vardo-service"}},
        {"  /bin/sh   -c  'sleep 1; exec x'  ", {"/bin/sh", "-c", "sleep 1; exec x"}},
        {"\"/opt/my dir/prog\" --port 80", {"/opt/my dir/prog", "--port", "80"}},
        {"/p a\\ b \"q\\\"uote\" 'single\"in'", {"/p", "a b", "q\"uote", "single\"in"}},
        {"/p 100%% \"\"", {"/p", "100%", ""}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(splitCommandLine(QString::fromUtf8(c.line)), c.words) << c.line;
}

TEST(LocalServiceDefinition, QuotedWordsSplitBackUnchanged)
{
    const QStringList words{"/opt/with space/vardo-service", "quote\"and\\slash", "100%", "tab\there", "'single'", ""};
    EXPECT_EQ(splitCommandLine(quoteCommandLine(words)), words);
}

TEST(LocalServiceDefinition, ReadsTheServiceSection)
{
    const ServiceDefinition d = parseServiceDefinition(QStringLiteral("# comment\n"
                                                                      "[Unit]\nDescription=x\nExecStart=/not/this\n\n"
                                                                      "[Service]\r\n; another comment\n"
                                                                      "Type=notify\n"
                                                                      "ExecStart=/bin/sh -c \\\n  'exec sleep 5'\n"
                                                                      "TimeoutStopSec=1.5\n"
                                                                      "Restart=no\n"));
    EXPECT_EQ(d.execStart, (QStringList{"/bin/sh", "-c", "exec sleep 5"}));
    EXPECT_TRUE(d.notifyReady);
    EXPECT_EQ(d.stopTimeoutMs, 1500);
}

TEST(LocalServiceDefinition, DefaultsAndTimeoutUnits)
{
    const ServiceDefinition plain = parseServiceDefinition(QStringLiteral("[Service]\nExecStart=/bin/true\n"));
    EXPECT_FALSE(plain.notifyReady);
    EXPECT_EQ(plain.stopTimeoutMs, DefaultStopTimeoutMs);
    const struct
    {
        const char *value;
        int ms;
    } cases[] = {{"2", 2000}, {"250ms", 250}, {"3s", 3000}, {"1min", 60000}, {"0", 0}, {"99999", 3600000}};
    for (const auto &c : cases) {
        const QString text = QStringLiteral("[Service]\nExecStart=/bin/true\nTimeoutStopSec=") + QLatin1String(c.value);
        EXPECT_EQ(parseServiceDefinition(text).stopTimeoutMs, c.ms) << c.value;
    }
}

TEST(LocalServiceDefinition, UnusableDefinitionsAreRefusedWithTheReason)
{
    const struct
    {
        const char *text;
        const char *reason;
    } cases[] = {
        {"[Service]\nType=notify\n", "no ExecStart"},
        {"[Service]\nExecStart=/bin/true\nExecStart=\n", "no ExecStart"},
        {"[Service]\nExecStart=vardo-service\n", "absolute path"},
        {"[Service]\nExecStart=/bin/true\nType=forking\n", "forking"},
        {"[Service]\nExecStart=/bin/sh -c 'open\n", "Unclosed quote"},
        {"[Service]\nExecStart=/bin/echo %n\n", "Specifiers"},
        {"[Service]\nExecStart=/bin/true\nTimeoutStopSec=soon\n", "TimeoutStopSec"},
        {"[Service]\njust words\n", "without \"=\""},
    };
    for (const auto &c : cases) {
        try {
            parseServiceDefinition(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text;
        } catch (const platform::Error &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.reason))) << qPrintable(e.message());
        }
    }
}

TEST(LocalServiceDefinition, ShippedTemplateFilledWithAPathWithBlanksRunsThatProgram)
{
    const QString shipped = QString::fromUtf8(testenv::readFile(testenv::sourceDir() + "/service/tellvaravardo.local.service.in"));
    const QString program = QStringLiteral("/opt/Vardo 100%/bin/vardo-service");
    const ServiceDefinition d = parseServiceDefinition(fillDefinitionTemplate(shipped, {program}));
    EXPECT_EQ(d.execStart, QStringList{program});
    EXPECT_TRUE(d.notifyReady);
}

TEST(LocalServiceDefinition, DefinitionsLieBelowTheSystemRoot)
{
    EXPECT_EQ(definitionPath(QStringLiteral("tellvaravardo")),
              testenv::root() + QStringLiteral("/system/etc/tellvara/services/tellvaravardo.service"));
}
