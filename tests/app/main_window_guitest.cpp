// The main window driven headless through its controls: creation, the password lock,
// the settings load and save, the folder choice and errors that leave a handler.
#include "window_guitest.h"
#include "app/ui/elidedlabel.h"

#include "app/ui/radiogroup.h"
#include "components/tdrawpanel.h"
#include "net/hooks.h"
#include "net/widgets/tfrmhttp.h"
#include "platform/error.h"
#include "suite/paths.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>

using app::ui::TMainVardoAdmin;
using platform::BoxKind;
using namespace windowtest;

namespace {

class MainWindowTest : public WindowTest
{
protected:
    void press(QWidget *target, int key)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
    }
};

// The control of that name in front: what the user sees at the centre of the panels.
bool inFront(TMainVardoAdmin &w, QWidget *panel)
{
    QWidget *top = w.childAt(w.width() / 2, 100);
    return top && (top == panel || panel->isAncestorOf(top));
}

QString textOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return g->title();
    return {};
}

} // namespace

TEST_F(MainWindowTest, OpensLockedWithItsCaptionAndSize)
{
    TMainVardoAdmin &w = window();
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Tellvara AB Vardo-Tjänst Adminprogram   version: 2.00.3"));
    EXPECT_EQ(w.size(), QSize(600, 462));
    EXPECT_TRUE(w.isLocked());
    auto *drawPanel1 = control<components::TDrawPanel>("DrawPanel1");
    auto *drawPanel2 = control<components::TDrawPanel>("DrawPanel2");
    EXPECT_FALSE(drawPanel2->isEnabled());
    w.show();
    // The controls fit the client area.
    EXPECT_EQ(w.size(), QSize(600, 462));
    EXPECT_TRUE(inFront(w, drawPanel1));
    EXPECT_FALSE(inFront(w, drawPanel2));
    EXPECT_TRUE(presenter.boxes().isEmpty());
    // FormCreate ran to its end: the HTTP unit's hooks are filled and the transfer window
    // exists, hidden, as a window of its own.
    EXPECT_TRUE(net::MessageHook && net::ConfirmHook && net::TranslateHook);
    ASSERT_NE(net::frmHTTP, nullptr);
    EXPECT_TRUE(net::frmHTTP->isWindow());
    EXPECT_FALSE(net::frmHTTP->isVisible());
    // It goes with the main window.
    m_window.reset();
    EXPECT_EQ(net::frmHTTP, nullptr);
}

TEST_F(MainWindowTest, EveryControlHasItsNameKindGroupAndText)
{
    struct Row { const char *name; const char *kind; const char *group; const char *text; };
    const Row rows[] = {
        {"Label1", "QLabel", "DrawPanel1", "Inställningarna nås genom att först låsa upp Admin-programmet"},
        {"Label2", "QLabel", "DrawPanel1", "Lösen:"},
        {"edLosen", "QLineEdit", "DrawPanel1", ""},
        {"BitBtn1", "QPushButton", "DrawPanel1", "Lås upp"},
        {"GroupBox3", "QGroupBox", "DrawPanel2", "Actions"},
        {"RadioGroup1", "app::ui::RadioGroup", "GroupBox3", "Service Status"},
        {"Panel2", "components::TDrawPanel", "GroupBox3", ""},
        {"Label4", "QLabel", "Panel2", "Refreshing, please wait...."},
        {"GroupBox9", "QGroupBox", "GroupBox3", "Vardo-Tjänstens version"},
        {"edVardoTjanstVersion", "QLineEdit", "GroupBox9", ""},
        {"btnCheckVardoTjanst", "QPushButton", "GroupBox9", "Uppdatera"},
        {"GroupBox6", "QGroupBox", "GroupBox3", "Vardo-Tjänstens Loggdir"},
        {"MemoLoggdir", "QPlainTextEdit", "GroupBox6", ""},
        {"btnGetLoggdir", "QPushButton", "GroupBox6", "Uppdatera"},
        {"btnStopService", "QPushButton", "GroupBox3", "Stoppa Vardo-Tjänsten"},
        {"btnRestartService", "QPushButton", "GroupBox3", "Starta Vardo-Tjänsten"},
        {"GroupBox1", "QGroupBox", "DrawPanel2", "Inställningar för Vardo-Tjänsten i katalogen:"},
        {"Label3", "QLabel", "GroupBox1", ""},
        {"GroupBox11", "QGroupBox", "GroupBox1", "Befintliga organisationer (minst en måste finnas)"},
        {"ListBox1", "QListWidget", "GroupBox11", ""},
        {"newbutton", "QPushButton", "GroupBox11", "Lägg till..."},
        {"editbutton", "QPushButton", "GroupBox11", "Redigera..."},
        {"Button1", "QPushButton", "GroupBox11", "Radera"},
        {"GroupBox5", "QGroupBox", "GroupBox1", "Timer - functions"},
        {"SpinEdit1", "QSpinBox", "GroupBox5", ""},
        {"DateTimePicker1", "QTimeEdit", "GroupBox5", ""},
        {"GroupBox10", "QGroupBox", "GroupBox1", "Logging Options"},
        {"CbLoggtoEventlogg", "QCheckBox", "GroupBox10", "Logg to EventLogg"},
        {"cbLoggtofile", "QCheckBox", "GroupBox10", "Always logg to file"},
        {"GroupBox7", "QGroupBox", "GroupBox1", "Tcp/IP - Port"},
        {"SpinEdit2", "QSpinBox", "GroupBox7", ""},
        {"GroupBox8", "QGroupBox", "GroupBox1", "Extern import av patienter för CheckPatient (sökväg)"},
        {"EdPasisPath", "QLineEdit", "GroupBox8", ""},
        {"BitBtn4", "QPushButton", "GroupBox8", "Välj..."},
        {"DrawPanel3", "components::TDrawPanel", "GroupBox1", ""},
        {"btnSpara", "QPushButton", "DrawPanel3", "Spara"},
        {"btnCancel", "QPushButton", "DrawPanel3", "Ångra"},
        {"Panel1", "components::TDrawPanel", "MainVardoAdmin", ""},
        {"BitBtn2", "QPushButton", "Panel1", "Stäng"},
    };
    for (const Row &row : rows) {
        QWidget *w = control<QWidget>(row.name);
        if (!w)
            continue;
        EXPECT_TRUE(w->inherits(row.kind)) << row.name << " is a " << w->metaObject()->className();
        QWidget *group = QLatin1String(row.group) == QLatin1String("MainVardoAdmin")
                             ? &window() : control<QWidget>(row.group);
        EXPECT_TRUE(group && group->isAncestorOf(w)) << row.name << " in " << row.group;
        EXPECT_EQ(textOf(w), QString::fromUtf8(row.text)) << row.name;
    }
}

TEST_F(MainWindowTest, ControlsKeepTheirProperties)
{
    window().show();
    auto *edLosen = control<QLineEdit>("edLosen");
    EXPECT_EQ(edLosen->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edLosen->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edLosen), '*');

    const QStringList states = {"SERVICE_STOPPED", "SERVICE_START_PENDING", "SERVICE_STOP_PENDING", "SERVICE_RUNNING",
                                "SERVICE_CONTINUE_PENDING", "SERVICE_PAUSE_PENDING", "SERVICE_PAUSED"};
    auto *radio = control<app::ui::RadioGroup>("RadioGroup1");
    QStringList items;
    for (QAbstractButton *b : radio->findChildren<QAbstractButton *>())
        items.append(b->text());
    EXPECT_EQ(items, states);
    EXPECT_EQ(radio->itemIndex(), -1);
    EXPECT_EQ(radio->height(), 162);
    EXPECT_EQ(control<QGroupBox>("GroupBox3")->width(), 192);
    EXPECT_EQ(control<QWidget>("Panel1")->height(), 36);
    EXPECT_TRUE(control<QPlainTextEdit>("MemoLoggdir")->isReadOnly());
    EXPECT_FALSE(control<QWidget>("Panel2")->isVisibleTo(&window()));
    EXPECT_EQ(control<QLabel>("Label4")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(control<QTimeEdit>("DateTimePicker1")->displayFormat(), "HH:mm");
    EXPECT_EQ(control<QPushButton>("btnSpara")->toolTip(), "Sparar inmatade uppgifter till registret");
    EXPECT_EQ(control<QPushButton>("btnCancel")->toolTip(), QString::fromUtf8("Ångrar alla inmatade uppgifter"));
    for (const char *button : {"BitBtn1", "BitBtn2", "btnStopService", "btnRestartService"})
        EXPECT_FALSE(control<QPushButton>(button)->icon().isNull()) << button;

    QTimer *timer = window().actions().Timer1;
    EXPECT_EQ(timer->interval(), 2000);
    EXPECT_FALSE(timer->isActive());

    struct Gradient { const char *panel; quint32 start; quint32 end; };
    for (const Gradient &g : {Gradient{"DrawPanel1", 8421631, 8454143}, Gradient{"DrawPanel2", 8454143, 8454016},
                              Gradient{"DrawPanel3", 8454016, 8421631}}) {
        auto *panel = control<components::TDrawPanel>(g.panel);
        EXPECT_EQ(panel->gradientColorStart(), g.start) << g.panel;
        EXPECT_EQ(panel->gradientColorEnd(), g.end) << g.panel;
        EXPECT_EQ(panel->gradientDirection(), components::TDrawPanel::gdHorizontal) << g.panel;
    }
}

TEST_F(MainWindowTest, WrongPasswordGivesExactlyOneInformationBox)
{
    for (const char *typed : {"Maltebon", "maltebon ", "", "MALTEBON"}) {
        presenter.clear();
        typePassword(QString::fromUtf8(typed));
        window().locked().BitBtn1->click();
        ASSERT_EQ(presenter.boxes().size(), 1) << '"' << typed << '"';
        EXPECT_EQ(presenter.boxes()[0].kind, BoxKind::Information);
        EXPECT_EQ(presenter.boxes()[0].text, QString::fromUtf8("Fel lösen!"));
        EXPECT_TRUE(window().isLocked());
        EXPECT_FALSE(control<QWidget>("DrawPanel2")->isEnabled());
        EXPECT_EQ(window().locked().edLosen->text(), QString::fromUtf8(typed));
    }
}

TEST_F(MainWindowTest, RightPasswordShowsTheDefaultsOfAnEmptyStore)
{
    window().show();
    unlock();
    EXPECT_TRUE(presenter.boxes().isEmpty());
    EXPECT_TRUE(control<QWidget>("DrawPanel2")->isEnabled());
    EXPECT_TRUE(inFront(window(), control<QWidget>("DrawPanel2")));
    const QString currentPath = control<QLabel>("Label3")->text();
    EXPECT_EQ(currentPath, suite::CurrentPath());
    EXPECT_TRUE(currentPath.endsWith('/'));
    EXPECT_EQ(QDir(currentPath).canonicalPath(), QDir::current().canonicalPath());
    EXPECT_EQ(control<QSpinBox>("SpinEdit2")->value(), 8080);
    EXPECT_EQ(control<QSpinBox>("SpinEdit1")->value(), 5);
    EXPECT_EQ(control<QTimeEdit>("DateTimePicker1")->text(), "05:45");
    EXPECT_TRUE(control<QCheckBox>("CbLoggtoEventlogg")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("cbLoggtofile")->isChecked());
    EXPECT_EQ(control<QLineEdit>("EdPasisPath")->text(), "");
    // The password stays in its field.
    EXPECT_EQ(window().locked().edLosen->text(), "maltebon");
}

TEST_F(MainWindowTest, ADeepCurrentFolderIsElidedAndTheWindowKeepsItsWidth)
{
    // A folder of 250 characters, made of names of 50.
    QString deep = testenv::freshDir("deep");
    while (deep.size() < 250)
        deep += "/" + QString(50, u'k');
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(deep));
    window().show();
    unlock();
    QDir::setCurrent(before);

    QApplication::processEvents();
    EXPECT_EQ(window().width(), 600);
    auto *label = control<app::ui::ElidedLabel>("Label3");
    EXPECT_EQ(label->text(), suite::CurrentPath());
    EXPECT_EQ(label->toolTip(), suite::CurrentPath());
    EXPECT_TRUE(label->shownText().contains(QChar(0x2026))) << label->shownText().toStdString();
    EXPECT_TRUE(label->shownText().endsWith("kkk/"));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->shownText()), label->contentsRect().width());
    EXPECT_LE(label->geometry().right(), window().width());
}

TEST_F(MainWindowTest, RightPasswordShowsTheStoredValues)
{
    store("Port", "TcpIPPort", "70000");
    store("Timers", "GetMessageIntervall", "2000");
    store("Timers", "CheckPatientTime", "7:05");
    store("Logging", "LogtoEventLogg", "F");
    store("Logging", "AlwaysLogtoFile", "f");
    store("Paths", "Pasis_Path", QString::fromUtf8("/srv/pasis/import å"));
    unlock();
    EXPECT_EQ(control<QSpinBox>("SpinEdit2")->text(), "70000");
    EXPECT_EQ(control<QSpinBox>("SpinEdit1")->value(), 1440);
    EXPECT_EQ(control<QTimeEdit>("DateTimePicker1")->text(), "07:05");
    EXPECT_FALSE(control<QCheckBox>("CbLoggtoEventlogg")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("cbLoggtofile")->isChecked());
    EXPECT_EQ(control<QLineEdit>("EdPasisPath")->text(), QString::fromUtf8("/srv/pasis/import å"));
}

TEST_F(MainWindowTest, UnusableStoredValuesShowTheDefaults)
{
    struct Row { const char *port; const char *interval; const char *time; const char *portShown; int intervalShown; };
    for (const Row row : {Row{"abc", "0", "25:00", "8080", 1}, Row{"-1", "x", "", "-1", 5}}) {
        store("Port", "TcpIPPort", row.port);
        store("Timers", "GetMessageIntervall", row.interval);
        store("Timers", "CheckPatientTime", row.time);
        window().locked().edLosen->setText("maltebon");
        window().locked().BitBtn1->click();
        EXPECT_EQ(control<QSpinBox>("SpinEdit2")->text(), row.portShown);
        EXPECT_EQ(control<QSpinBox>("SpinEdit1")->value(), row.intervalShown);
        EXPECT_EQ(control<QTimeEdit>("DateTimePicker1")->text(), "05:45");
    }
}

TEST_F(MainWindowTest, SpararOnAnEmptyStoreWritesTheSevenValuesInOrder)
{
    unlock();
    QStringList writes;
    window().settings().writeSetting = [&](const QString &key, const QString &name, const QString &text) {
        writes.append(name + "=" + text);
        return app::writeMachineSetting(key, name, text);
    };
    control<QPushButton>("btnSpara")->click();
    const QString dataLink = suite::DefaultDataProviderFile();
    EXPECT_FALSE(dataLink.isEmpty());
    EXPECT_EQ(writes, QStringList({"LogtoEventLogg=T", "AlwaysLogtoFile=T", "Pasis_Path=",
                                   "DefaultDataProvider=" + dataLink, "TcpIPPort=8080",
                                   "GetMessageIntervall=5", "CheckPatientTime=05:45:00"}));
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "T");
    EXPECT_EQ(stored("Logging", "AlwaysLogtoFile"), "T");
    EXPECT_EQ(stored("Paths", "Pasis_Path"), "");
    EXPECT_EQ(stored("DataProvider", "DefaultDataProvider"), dataLink);
    EXPECT_EQ(stored("Port", "TcpIPPort"), "8080");
    EXPECT_EQ(stored("Timers", "GetMessageIntervall"), "5");
    EXPECT_EQ(stored("Timers", "CheckPatientTime"), "05:45:00");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(MainWindowTest, SpararWritesWhatTheFieldsShow)
{
    store("Timers", "GetMessageIntervall", "0");
    store("Logging", "LogtoEventLogg", "f");
    store("Timers", "CheckPatientTime", "07:05:30");
    unlock();
    control<QSpinBox>("SpinEdit2")->setValue(-7);
    control<QCheckBox>("cbLoggtofile")->setChecked(false);
    control<QLineEdit>("EdPasisPath")->setText(" /import ");
    control<QPushButton>("btnSpara")->click();
    EXPECT_EQ(stored("Timers", "GetMessageIntervall"), "1");
    EXPECT_EQ(stored("Logging", "LogtoEventLogg"), "T");
    EXPECT_EQ(stored("Logging", "AlwaysLogtoFile"), "F");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "-7");
    EXPECT_EQ(stored("Paths", "Pasis_Path"), " /import ");
    // The field shows hours and minutes; the seconds it was loaded with are kept.
    EXPECT_EQ(stored("Timers", "CheckPatientTime"), "07:05:30");
}

TEST_F(MainWindowTest, NonIntegerFieldTextCountsAsTheFieldsFloor)
{
    unlock();
    control<QSpinBox>("SpinEdit2")->findChild<QLineEdit *>()->setText("");
    control<QSpinBox>("SpinEdit1")->findChild<QLineEdit *>()->setText("");
    control<QPushButton>("btnSpara")->click();
    EXPECT_EQ(stored("Port", "TcpIPPort"), "0");
    EXPECT_EQ(stored("Timers", "GetMessageIntervall"), "1");
}

TEST_F(MainWindowTest, AngraAndAnotherUnlockDiscardEdits)
{
    store("Port", "TcpIPPort", "9000");
    window().show();
    unlock();
    auto *port = control<QSpinBox>("SpinEdit2");
    port->setValue(1234);
    control<QPushButton>("btnCancel")->click();
    EXPECT_EQ(port->value(), 9000);

    // Enter in a field presses "Lås upp" again, which reloads.
    port->setValue(4321);
    port->setFocus();
    press(port, Qt::Key_Return);
    EXPECT_EQ(port->value(), 9000);
    EXPECT_FALSE(window().isLocked());

    // Esc presses "Ångra".
    port->setValue(555);
    press(port, Qt::Key_Escape);
    EXPECT_EQ(port->value(), 9000);
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(MainWindowTest, EnterInThePasswordFieldUnlocksAndEscDoesNotCloseWhileLocked)
{
    window().show();
    auto *edLosen = window().locked().edLosen;
    edLosen->setFocus();
    press(edLosen, Qt::Key_Escape);
    EXPECT_TRUE(window().isVisible());
    edLosen->setText("wrong");
    press(edLosen, Qt::Key_Return);
    EXPECT_EQ(boxesOf(BoxKind::Information).size(), 1);
    edLosen->setText("maltebon");
    press(edLosen, Qt::Key_Enter);
    EXPECT_FALSE(window().isLocked());
}

TEST_F(MainWindowTest, SaveWithoutWriteAccessShowsNothingAndAngraShowsTheOldValues)
{
    store("Port", "TcpIPPort", "9000");
    unlock();
    window().settings().writeSetting = [](const QString &, const QString &, const QString &) { return false; };
    control<QSpinBox>("SpinEdit2")->setValue(1);
    control<QPushButton>("btnSpara")->click();
    EXPECT_TRUE(presenter.boxes().isEmpty());
    control<QPushButton>("btnCancel")->click();
    EXPECT_EQ(control<QSpinBox>("SpinEdit2")->value(), 9000);
}

TEST_F(MainWindowTest, AnErrorFromAWriteEndsTheSaveAndIsShownOnce)
{
    unlock();
    int writes = 0;
    window().settings().writeSetting = [&](const QString &key, const QString &name, const QString &text) -> bool {
        if (++writes == 3)
            throw platform::Error(QStringLiteral("Kunde inte sätta nyckelns säkerhet"));
        return app::writeMachineSetting(key, name, text);
    };
    control<QPushButton>("btnSpara")->click();
    EXPECT_EQ(writes, 3);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].kind, BoxKind::Error);
    EXPECT_EQ(presenter.boxes()[0].title, "Tellvara AB Vardo-ServiceAdmin");
    EXPECT_EQ(presenter.boxes()[0].text, QString::fromUtf8("Kunde inte sätta nyckelns säkerhet"));
    EXPECT_EQ(stored("Logging", "AlwaysLogtoFile"), "T");
    EXPECT_EQ(stored("Port", "TcpIPPort"), "");
    // The program goes on.
    control<QPushButton>("btnCancel")->click();
    EXPECT_EQ(presenter.boxes().size(), 1);
}

TEST_F(MainWindowTest, FolderChoiceStartsAtTheFieldsFolder)
{
    unlock();
    QStringList asked;
    QString answer = QStringLiteral("/srv/import");
    window().settings().chooseFolder = [&](const QString &title, const QString &start) {
        asked << title << start;
        return answer;
    };
    auto *path = control<QLineEdit>("EdPasisPath");
    path->setText("/var/lib");
    control<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(asked, QStringList({QString::fromUtf8("Välj sökväg"), "/var/lib"}));
    EXPECT_EQ(path->text(), "/srv/import");
    // Cancelled: the field keeps its text, and nothing is written until "Spara".
    answer.clear();
    control<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(path->text(), "/srv/import");
    EXPECT_EQ(stored("Paths", "Pasis_Path"), "");
}

TEST_F(MainWindowTest, StangClosesTheWindow)
{
    window().show();
    control<QPushButton>("BitBtn2")->click();
    EXPECT_FALSE(window().isVisible());
}

TEST_F(MainWindowTest, EveryActivationFocusesThePasswordField)
{
    window().show();
    window().activateWindow();
    QWidget *edLosen = window().locked().edLosen;
    EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == edLosen; }));

    // After unlocking too, when the field lies hidden behind the unlocked panel.
    unlock();
    auto *port = control<QSpinBox>("SpinEdit2");
    port->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), port);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == other.windowHandle(); }));
    other.close();
    window().activateWindow();
    EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == edLosen; }));
}

TEST_F(MainWindowTest, FormCreateErrorIsShownOnceAndTheWindowOpensLocked)
{
    const QString gone = testenv::freshDir("removed-current-dir");
    ASSERT_TRUE(QDir::setCurrent(gone));
    ASSERT_TRUE(QDir().rmdir(gone));
    TMainVardoAdmin &w = window();
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].kind, BoxKind::Error);
    EXPECT_EQ(presenter.boxes()[0].title, "Tellvara AB Vardo-ServiceAdmin");
    EXPECT_EQ(presenter.boxes()[0].text, "Unable to get Current path");
    EXPECT_TRUE(w.isLocked());
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Tellvara AB Vardo-Tjänst Adminprogram   version: 2.00.3"));
    // The steps after the failure did not run.
    EXPECT_FALSE(net::MessageHook);
    EXPECT_EQ(net::frmHTTP, nullptr);
    w.show();
    EXPECT_TRUE(w.isVisible());
    unlock();
    EXPECT_EQ(control<QLabel>("Label3")->text(), "");
    EXPECT_EQ(control<QSpinBox>("SpinEdit2")->value(), 8080);
    EXPECT_EQ(presenter.boxes().size(), 1);
}
