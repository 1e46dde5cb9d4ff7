// Shared main of every test binary: a private root, an offscreen display unless one is
// chosen, and a Qt application object so event loops, timers and widgets work.
#include "test_env.h"

#include <gtest/gtest.h>

#ifdef VARDO_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

namespace {

// Each test gets its own root, also when the whole program runs.
class FreshRootPerTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { testenv::isolate(); }
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
