// The organisation editor on a real X display with a real window manager (openbox on
// Xvfb), where the focus comes back from a box or dialog late and on the window manager's
// terms. The outer test starts the display and runs this program again on it for the
// inner test; it is skipped only when Xvfb, the window manager, xdotool or xprop are not
// installed. openbox shows the focus faults; xfwm4 honours every window hint.
#include "editor/widgets/tfltklinik.h"

#include "platform/widgets/qt_message_presenter.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void makeDatabase(const QString &path, bool withTable)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "wm-fixture");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(withTable ? "CREATE TABLE TRKLINIK (ORGNR VARCHAR(20))" : "CREATE TABLE OTHER (A INTEGER)"));
        if (withTable) {
            ASSERT_TRUE(query.exec("INSERT INTO TRKLINIK VALUES ('5561234567')"));
        }
    }
    QSqlDatabase::removeDatabase("wm-fixture");
}

QString dataLink(const QString &name, bool withTable)
{
    const QString database = testenv::root() + "/" + name + ".db";
    makeDatabase(database, withTable);
    const QString link = suite::DataLinkPath() + name + ".udl";
    suite::WriteDataLinkFile(link, "Provider=SQLite;Data Source=" + database);
    return link;
}

// Processes events until the condition holds or the time is up.
bool waitFor(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

void pressKey(const char *key)
{
    QProcess::execute("xdotool", {"key", key});
}

// Answers the next modal window with a key, typed as the user would once the window
// manager has given it the focus.
void answerNextModalWith(const char *key)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, key] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || QApplication::activeWindow() != modal)
            return;
        poll->deleteLater();
        poll->stop();
        pressKey(key);
    });
    poll->start(50);
}

class EditorUnderWindowManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "runs on the display the outer test starts";
        suite::InitPaths({QStringLiteral("vardo-admin")});
        ASSERT_TRUE(QDir().mkpath(suite::DataLinkPath()));
        qputenv("TELLVARA_TRUST_BUNDLE", "");
        platform::setMessagePresenter(&boxes); // the real boxes, as the program shows them
        dialog = std::make_unique<editor::TFLTKlinik>();
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(waitFor([this] { return dialog->isActiveWindow(); }, 5000)) << "the window manager gave no focus";
    }

    // After the box or dialog closed and the window manager had time to hand the focus
    // back: the state table holds ("Öppna" enabled exactly while covered).
    void expectStateAfterReturn(bool connected)
    {
        EXPECT_TRUE(waitFor([this] { return dialog->isActiveWindow(); }, 5000));
        waitFor([] { return false; }, 1500); // a late focus event would arrive here
        EXPECT_EQ(dialog->isConnected(), connected);
        EXPECT_EQ(dialog->BitBtn1->isEnabled(), !dialog->isConnected());
    }

    void TearDown() override
    {
        dialog.reset();
        platform::setMessagePresenter(nullptr);
    }

    platform::QtMessagePresenter boxes;
    std::unique_ptr<editor::TFLTKlinik> dialog;
};

TEST_F(EditorUnderWindowManager, DISABLED_TheBoxAboutAMissingTableDoesNotCoverTheOrganisation)
{
    dataLink("Utan", false);
    dialog->ComboBox1->setEditText("Utan.udl");
    answerNextModalWith("Return");
    dialog->BitBtn1->click();
    expectStateAfterReturn(true);
}

TEST_F(EditorUnderWindowManager, DISABLED_CancellingTheDataProvidersDialogDoesNotCoverTheOrganisation)
{
    suite::SetDefaultDataProviderFile(dataLink("Tidigare", true));
    dialog->ComboBox1->setEditText("finns-inte.udl");
    answerNextModalWith("Escape");
    dialog->BitBtn1->click();
    expectStateAfterReturn(true);
}

TEST_F(EditorUnderWindowManager, DISABLED_ABoxAfterAFailedOpenLeavesOppnaUsable)
{
    suite::WriteDataLinkFile(suite::DataLinkPath() + "Borta.udl", "Provider=SQLite;Data Source=" + testenv::root() + "/no-such.db");
    dialog->ComboBox1->setEditText("Borta.udl");
    answerNextModalWith("Return");
    dialog->BitBtn1->click();
    expectStateAfterReturn(false);
}

// What the window manager lets the user do with the editor: close it, move it, nothing
// more. openbox alone offers minimising to every dialog whatever its hints say (and then
// minimises the owner with it); maximising and resizing follow the hints everywhere.
TEST_F(EditorUnderWindowManager, DISABLED_TheWindowManagerOffersNeitherMaximiseNorResize)
{
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(dialog->winId()), "_NET_WM_ALLOWED_ACTIONS"});
    ASSERT_TRUE(xprop.waitForFinished(5000));
    const QString actions = QString::fromLatin1(xprop.readAllStandardOutput());
    EXPECT_TRUE(actions.contains("_NET_WM_ACTION_CLOSE")) << actions.toStdString();
    EXPECT_FALSE(actions.contains("MAXIMIZE")) << actions.toStdString();
    EXPECT_FALSE(actions.contains("RESIZE")) << actions.toStdString();
    if (qEnvironmentVariable("VARDO_TEST_WINDOW_MANAGER") != QLatin1String("openbox"))
        EXPECT_FALSE(actions.contains("MINIMIZE")) << actions.toStdString();
}

bool installed(const char *program)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

// A display number nobody uses, from `first` on: each window manager's test has its own
// range, so two run side by side never pick the same one.
int freeDisplay(int first)
{
    for (int n = first; n < first + 50; ++n) {
        if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            return n;
    }
    return -1;
}

struct Stopped
{
    QProcess &process;
    ~Stopped()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
};

// Runs the inner tests matching `filter` on a new Xvfb display under the window manager
// given; their output, or a skip reason when a program is missing.
struct InnerRun
{
    QString skipped;
    int exitCode = -1;
    QString output;
};

InnerRun runUnderWindowManager(const QString &windowManager, const QStringList &arguments, const QString &filter,
                               int firstDisplay)
{
    for (const QString &program : {QStringLiteral("Xvfb"), windowManager, QStringLiteral("xdotool"), QStringLiteral("xprop")}) {
        if (!installed(program.toLatin1().constData()))
            return {program + " is not installed (scripts/install-deps installs it)"};
    }
    const int number = freeDisplay(firstDisplay);
    if (number < 0)
        return {QString(), -1, "no free display number"};
    const QString display = QStringLiteral(":%1").arg(number);
    QProcess xvfb;
    xvfb.start("Xvfb", {display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    const Stopped stopXvfb{xvfb};
    if (!waitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)); }, 10000)
        || xvfb.state() != QProcess::Running)
        return {QString(), -1, "Xvfb did not start"};

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("VARDO_TEST_WINDOW_MANAGER", windowManager);
    QProcess manager;
    manager.setProcessEnvironment(environment);
    manager.start(windowManager, arguments);
    const Stopped stopManager{manager};
    if (!manager.waitForStarted(5000))
        return {QString(), -1, windowManager + " did not start"};
    waitFor([] { return false; }, 1500); // the window manager takes over the screen

    QProcess inner;
    inner.setProcessEnvironment(environment);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start(QCoreApplication::applicationFilePath(), {"--gtest_also_run_disabled_tests", "--gtest_filter=" + filter});
    const Stopped stopInner{inner};
    if (!inner.waitForFinished(90000))
        return {QString(), -1, "the inner run did not end"};
    return {QString(), inner.exitCode(), QString::fromLocal8Bit(inner.readAll())};
}

TEST(EditorWindowManager, FocusReturningFromBoxesAndDialogsKeepsTheStateTable)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the inner run";
    const InnerRun run = runUnderWindowManager("openbox", {"--sm-disable"}, "EditorUnderWindowManager.*", 90);
    if (!run.skipped.isEmpty())
        GTEST_SKIP() << run.skipped.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("[  PASSED  ] 4 tests")) << run.output.toStdString();
}

// A window manager that honours the hints shows the close button alone.
TEST(EditorWindowManager, UnderXfwm4TheEditorCanOnlyBeClosed)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the inner run";
    const InnerRun run = runUnderWindowManager("xfwm4", {"--compositor=off", "--sm-client-disable"},
                                               "EditorUnderWindowManager.DISABLED_TheWindowManagerOffers*", 140);
    if (!run.skipped.isEmpty())
        GTEST_SKIP() << run.skipped.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("[  PASSED  ] 1 test.")) << run.output.toStdString();
}

} // namespace
