#include "platform/machine_name.h"

#include <QSysInfo>

#include <gtest/gtest.h>

namespace {

TEST(MachineName, TheOverrideComesBackWhole)
{
    const struct
    {
        const char *set;
        const char *expected;
    } cases[] = {
        {"localhost", "localhost"},
        {"localhost.localdomain", "localhost.localdomain"}, // longer than Windows' 15 characters
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {" Mixed Case ", " Mixed Case "},           // no trimming, no change of case
    };
    for (const auto &c : cases) {
        qputenv("TELLVARA_MACHINE_NAME", c.set);
        EXPECT_EQ(platform::machineName(), QString::fromUtf8(c.expected)) << c.set;
    }
}

TEST(MachineName, WithoutOverrideItIsTheHostName)
{
    for (const char *set : {static_cast<const char *>(""), static_cast<const char *>(nullptr)}) {
        if (set)
            qputenv("TELLVARA_MACHINE_NAME", set);
        else
            qunsetenv("TELLVARA_MACHINE_NAME");
        const QString host = QSysInfo::machineHostName();
        EXPECT_EQ(platform::machineName(), host.isEmpty() ? QStringLiteral("localhost") : host);
    }
}

} // namespace
