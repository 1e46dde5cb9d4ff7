// "vardo-admin --screenshot DIR": the built program renders both states without a display.
#include "test_env.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>

TEST(Screenshot, WritesTheLockedAndTheUnlockedWindow)
{
    const QString dir = testenv::freshDir("shots") + "/docs";
    QProcess process;
    process.start(testenv::binDir() + "/vardo-admin", {"--screenshot", dir});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage locked(dir + "/main-locked.png");
    const QImage unlocked(dir + "/main-unlocked.png");
    ASSERT_FALSE(locked.isNull());
    ASSERT_FALSE(unlocked.isNull());
    EXPECT_EQ(locked.size(), QSize(600, 462));
    EXPECT_EQ(unlocked.size(), QSize(600, 462));
    // The locked panel's gradient starts pink at the left; the unlocked one yellow.
    EXPECT_GT(QColor(locked.pixel(2, 200)).red(), 240);
    EXPECT_LT(QColor(locked.pixel(2, 200)).green(), 150);
    EXPECT_GT(QColor(unlocked.pixel(1, 200)).green(), 240);
}

TEST(Screenshot, AFolderThatCannotBeMadeFails)
{
    const QString file = testenv::freshDir("blocked") + "/file";
    testenv::writeFile(file, "x");
    QProcess process;
    process.start(testenv::binDir() + "/vardo-admin", {"--screenshot", file + "/docs"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("Cannot create"));
}
