#include "app/ui/actionsarea.h"

#include "app/core/service_probe.h"
#include "app/ui/buttonicons.h"
#include "app/ui/radiogroup.h"
#include "components/widgetnames.h"
#include "components/tdrawpanel.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace app::ui {

using components::named;
namespace {

constexpr int ColumnWidth = 192;
constexpr int StatusHeight = 162;
constexpr int MemoMinimumHeight = 30;

} // namespace

ActionsArea::ActionsArea(QWidget *parent, QLabel *directoryLine)
    : GroupBox3(named<QGroupBox>("GroupBox3", parent))
    , RadioGroup1(named<RadioGroup>("RadioGroup1", GroupBox3, QStringLiteral("Service Status"), serviceStateNames()))
    , Panel2(named<components::TDrawPanel>("Panel2", GroupBox3))
    , Label4(named<QLabel>("Label4", Panel2))
    , GroupBox9(named<QGroupBox>("GroupBox9", GroupBox3))
    , edVardoTjanstVersion(named<QLineEdit>("edVardoTjanstVersion", GroupBox9))
    , btnCheckVardoTjanst(named<QPushButton>("btnCheckVardoTjanst", GroupBox9))
    , GroupBox6(named<QGroupBox>("GroupBox6", GroupBox3))
    , MemoLoggdir(named<QPlainTextEdit>("MemoLoggdir", GroupBox6))
    , btnGetLoggdir(named<QPushButton>("btnGetLoggdir", GroupBox6))
    , btnStopService(named<QPushButton>("btnStopService", GroupBox3))
    , btnRestartService(named<QPushButton>("btnRestartService", GroupBox3))
    , Timer1(new QTimer(GroupBox3))
    , m_directoryLine(directoryLine)
{
    GroupBox3->setTitle(QStringLiteral("Actions"));
    GroupBox3->setFixedWidth(ColumnWidth);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timer1IntervalMs);
    buildVersionGroup();
    buildLogDirGroup();
    btnStopService->setText(QStringLiteral("Stoppa Vardo-Tjänsten"));
    setButtonIcon(btnStopService, QStringLiteral("media-playback-stop"), QStyle::SP_MediaStop);
    btnRestartService->setText(QStringLiteral("Starta Vardo-Tjänsten"));
    setButtonIcon(btnRestartService, QStringLiteral("media-playback-start"), QStyle::SP_MediaPlay);

    auto *layout = new QVBoxLayout(GroupBox3);
    layout->setContentsMargins(2, 4, 2, 4);
    layout->setSpacing(4);
    layout->addWidget(statusWithWaitPanel());
    layout->addWidget(GroupBox9);
    layout->addWidget(GroupBox6, 1);
    layout->addWidget(btnStopService);
    layout->addWidget(btnRestartService);
}

// The wait panel lies over the radio group and hides it while shown.
QWidget *ActionsArea::statusWithWaitPanel()
{
    auto *holder = new QWidget(GroupBox3);
    holder->setFixedHeight(StatusHeight);
    auto *stack = new QStackedLayout(holder);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(RadioGroup1);
    stack->addWidget(Panel2);
    stack->setCurrentWidget(Panel2);

    Label4->setText(RefreshingText);
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setWordWrap(true);
    QPalette maroon = Label4->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label4->setPalette(maroon);
    auto *panelLayout = new QVBoxLayout(Panel2);
    panelLayout->addWidget(Label4);
    Panel2->hide();
    return holder;
}

void ActionsArea::buildVersionGroup()
{
    GroupBox9->setTitle(QStringLiteral("Vardo-Tjänstens version"));
    btnCheckVardoTjanst->setText(QStringLiteral("Uppdatera"));
    auto *layout = new QHBoxLayout(GroupBox9);
    layout->addWidget(edVardoTjanstVersion, 1);
    layout->addWidget(btnCheckVardoTjanst);
}

void ActionsArea::buildLogDirGroup()
{
    GroupBox6->setTitle(QStringLiteral("Vardo-Tjänstens Loggdir"));
    MemoLoggdir->setReadOnly(true);
    MemoLoggdir->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoLoggdir->setMinimumHeight(MemoMinimumHeight);
    btnGetLoggdir->setText(QStringLiteral("Uppdatera"));
    auto *layout = new QVBoxLayout(GroupBox6);
    layout->addWidget(MemoLoggdir, 1);
    layout->addWidget(btnGetLoggdir, 0, Qt::AlignRight);
}

void ActionsArea::RefreshServiceStatus()
{
    servicePanel().RefreshServiceStatus();
}

void ActionsArea::btnRestartServiceClick()
{
    servicePanel().btnRestartServiceClick();
}

void ActionsArea::btnStopServiceClick()
{
    servicePanel().btnStopServiceClick();
}

void ActionsArea::Timer1Timer()
{
    servicePanel().Timer1Timer();
}

void ActionsArea::btnCheckVardoTjanstClick(int port)
{
    app::btnCheckVardoTjanstClick(port, [this](const QString &version) { edVardoTjanstVersion->setText(version); });
}

void ActionsArea::btnGetLoggdirClick(int port)
{
    QString logDir = MemoLoggdir->toPlainText();
    app::btnGetLoggdirClick(port, logDir);
    MemoLoggdir->setPlainText(logDir);
}

ServiceControlPanel &ActionsArea::servicePanel()
{
    if (!m_panel) {
        m_manager = platform::createServiceManager();
        m_control = std::make_unique<ServiceControl>(*m_manager, m_clock);
        m_panel = std::make_unique<ServiceControlPanel>(*this, *m_control);
    }
    return *m_panel;
}

void ActionsArea::showWaitPanel()
{
    Panel2->show();
}

void ActionsArea::hideWaitPanel()
{
    Panel2->hide();
}

void ActionsArea::setStatusIndex(int index)
{
    RadioGroup1->setItemIndex(index);
}

void ActionsArea::setDirectoryLine(const QString &text)
{
    m_directoryLine->setText(text);
}

void ActionsArea::startTimer1()
{
    Timer1->start();
}

void ActionsArea::stopTimer1()
{
    Timer1->stop();
}

void ActionsArea::processPendingEvents()
{
    QCoreApplication::processEvents();
}

} // namespace app::ui
