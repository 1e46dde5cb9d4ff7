// Shared main of every test binary: a private root, an offscreen display unless one is
// chosen, and a Qt application object so event loops, timers and widgets work.
#include "test_env.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcessEnvironment>

#ifdef VARDO_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

namespace {

// Each test gets its own root, and the environment and current folder as it found them,
// also when the whole program runs: what one test sets never reaches the next.
class FreshRootPerTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_currentDir = QDir::currentPath();
        testenv::isolate();
    }

    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QDir::setCurrent(m_currentDir);
        const QProcessEnvironment now = QProcessEnvironment::systemEnvironment();
        for (const QString &name : now.keys()) {
            if (!m_environment.contains(name))
                qunsetenv(name.toLocal8Bit().constData());
        }
        for (const QString &name : m_environment.keys()) {
            if (now.value(name) != m_environment.value(name) || !now.contains(name))
                qputenv(name.toLocal8Bit().constData(), m_environment.value(name).toLocal8Bit());
        }
    }

    QProcessEnvironment m_environment;
    QString m_currentDir;
};

} // namespace

int main(int argc, char **argv)
{
    // Test discovery runs this binary outside the test environment, so the display
    // default must live here rather than in CTest's properties.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testenv::isolate();
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshRootPerTest);
    return RUN_ALL_TESTS();
}
