#include "app/ui/tmainvardoadmin.h"

#include "app/ui/elidedlabel.h"
#include "components/activationwatch.h"

#include "app/core/admin_lock.h"
#include "app/core/startup.h"
#include "app/ui/buttonicons.h"
#include "components/widgetnames.h"
#include "components/tdrawpanel.h"
#include "net/widgets/tfrmhttp.h"
#include "suite/dialogs.h"
#include "suite/event_handler.h"
#include "suite/paths.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace app::ui {

using components::named;
namespace {

constexpr QSize ClientSize(600, 462);
constexpr int BottomStripHeight = 36;

} // namespace

TMainVardoAdmin::TMainVardoAdmin(const QStringList &arguments, QWidget *parent)
    : QWidget(parent)
    , m_arguments(arguments)
    , m_locked(this)
    , DrawPanel2(named<components::TDrawPanel>("DrawPanel2", this))
    , GroupBox1(named<QGroupBox>("GroupBox1", DrawPanel2))
    , Label3(named<ElidedLabel>("Label3", GroupBox1))
    , m_organisations(GroupBox1)
    , m_settings(GroupBox1)
    , m_actions(DrawPanel2, Label3)
    , Panel1(named<components::TDrawPanel>("Panel1", this))
    , BitBtn2(named<QPushButton>("BitBtn2", Panel1))
{
    setObjectName(QStringLiteral("MainVardoAdmin"));
    setFont(components::suiteWindowFont());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildPanelStack(), 1);
    layout->addWidget(buildBottomStrip());
    resize(ClientSize);
    centreOnScreen();

    connectHandlers();
    components::watchActivation(this, [this] { suite::runEventHandler([this] { FormActivate(); }); });
    suite::runEventHandler([this] { FormCreate(); });
}

QWidget *TMainVardoAdmin::buildPanelStack()
{
    auto *holder = new QWidget(this);
    m_panels = new QStackedLayout(holder);
    // Both panels stay present; the one in front hides the other.
    m_panels->setStackingMode(QStackedLayout::StackAll);
    m_panels->addWidget(m_locked.DrawPanel1);
    m_panels->addWidget(DrawPanel2);
    buildUnlockedPanel();
    return holder;
}

void TMainVardoAdmin::buildUnlockedPanel()
{
    DrawPanel2->setGradientColorStart(8454143);
    DrawPanel2->setGradientColorEnd(8454016);
    DrawPanel2->setGradientDirection(components::TDrawPanel::gdHorizontal);
    auto *layout = new QHBoxLayout(DrawPanel2);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(buildSettingsGroup(), 1);
    layout->addWidget(m_actions.GroupBox3);
}

QWidget *TMainVardoAdmin::buildSettingsGroup()
{
    GroupBox1->setTitle(QStringLiteral("Inställningar för Vardo-Tjänsten i katalogen:"));
    auto *loggingAndPort = new QHBoxLayout;
    loggingAndPort->addWidget(m_settings.GroupBox10, 1);
    loggingAndPort->addWidget(m_settings.GroupBox7);

    auto *layout = new QVBoxLayout(GroupBox1);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(3);
    layout->addWidget(Label3);
    layout->addWidget(m_organisations.GroupBox11, 1);
    layout->addWidget(m_settings.GroupBox5);
    layout->addLayout(loggingAndPort);
    layout->addWidget(m_settings.GroupBox8);
    layout->addWidget(m_settings.DrawPanel3);
    return GroupBox1;
}

QWidget *TMainVardoAdmin::buildBottomStrip()
{
    Panel1->setFixedHeight(BottomStripHeight);
    BitBtn2->setText(QStringLiteral("Stäng"));
    setButtonIcon(BitBtn2, QStringLiteral("window-close"), QStyle::SP_DialogCloseButton);
    auto *layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(4, 2, 6, 2);
    layout->addStretch();
    layout->addWidget(BitBtn2);
    return Panel1;
}

void TMainVardoAdmin::onClick(QAbstractButton *button, std::function<void()> handler)
{
    connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { suite::runEventHandler(handler); });
}

void TMainVardoAdmin::connectHandlers()
{
    onClick(m_locked.BitBtn1, [this] { BitBtn1Click(); });
    onClick(BitBtn2, [this] { BitBtn2Click(); });
    onClick(m_settings.btnSpara, [this] { m_settings.btnSparaClick(); });
    onClick(m_settings.btnCancel, [this] { btnCancelClick(); });
    onClick(m_settings.BitBtn4, [this] { m_settings.BitBtn4Click(); });
    onClick(m_organisations.newbutton, [this] { m_organisations.newbuttonClick(); });
    onClick(m_organisations.editbutton, [this] { m_organisations.editbuttonClick(); });
    onClick(m_organisations.Button1, [this] { m_organisations.Button1Click(); });
    onClick(m_actions.btnRestartService, [this] { m_actions.btnRestartServiceClick(); });
    onClick(m_actions.btnStopService, [this] { m_actions.btnStopServiceClick(); });
    onClick(m_actions.btnCheckVardoTjanst, [this] { m_actions.btnCheckVardoTjanstClick(shownPort()); });
    onClick(m_actions.btnGetLoggdir, [this] { m_actions.btnGetLoggdirClick(shownPort()); });
    connect(m_actions.Timer1, &QTimer::timeout, this, [this] { suite::runEventHandler([this] { m_actions.Timer1Timer(); }); });
}

void TMainVardoAdmin::centreOnScreen()
{
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TMainVardoAdmin::FormCreate()
{
    setWindowTitle(MainWindowCaption);
    showLockedPanel();
    suite::InitPaths(m_arguments);
    installNetHooks();
    createHttpWindow();
}

void TMainVardoAdmin::createHttpWindow()
{
    // A window of its own, owned by this one, which lives the whole run; deleting it
    // clears frmHTTP.
    net::frmHTTP = new net::TfrmHTTP(this);
    net::frmHTTP->InitializeAll();
}

void TMainVardoAdmin::FormActivate()
{
    m_locked.edLosen->setFocus();
    m_organisations.FillOrganisationList();
}

void TMainVardoAdmin::BitBtn1Click()
{
    if (!isUnlockPassword(m_locked.edLosen->text())) {
        suite::ShowInfo(QStringLiteral("Fel lösen!"));
        return;
    }
    showUnlockedPanel();
    // A deep folder is elided in the label; the whole path is its tooltip.
    Label3->setText(suite::CurrentPath());
    Label3->setToolTip(suite::CurrentPath());
    btnCancelClick();
}

void TMainVardoAdmin::BitBtn2Click()
{
    close();
}

void TMainVardoAdmin::btnCancelClick()
{
    m_settings.loadFields();
    m_actions.RefreshServiceStatus();
}

int TMainVardoAdmin::shownPort() const
{
    return m_settings.shownSettings().port;
}

bool TMainVardoAdmin::isLocked() const
{
    return m_panels->currentWidget() == m_locked.DrawPanel1;
}

void TMainVardoAdmin::showLockedPanel()
{
    m_panels->setCurrentWidget(m_locked.DrawPanel1);
    DrawPanel2->setEnabled(false);
}

void TMainVardoAdmin::showUnlockedPanel()
{
    m_panels->setCurrentWidget(DrawPanel2);
    DrawPanel2->setEnabled(true);
}

// Enter presses the button that has the focus, else "Lås upp", which stays the default
// button after unlocking (and then reloads the settings). Esc presses "Ångra" while it
// can be pressed; closing the program on Esc would be too easy a slip.
void TMainVardoAdmin::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pressDefaultButton();
        return;
    case Qt::Key_Escape:
        if (m_settings.btnCancel->isEnabled())
            m_settings.btnCancel->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TMainVardoAdmin::pressDefaultButton()
{
    auto *focused = qobject_cast<QPushButton *>(focusWidget());
    (focused ? focused : m_locked.BitBtn1)->click();
}

} // namespace app::ui
