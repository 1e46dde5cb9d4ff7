#pragma once
// The "Actions" column of the unlocked panel: the service status, the wait panel over it,
// the version and log-folder probes and the start and stop buttons. The behaviour lives in
// app/core (service_control_panel, service_probe); this area is the panel's view and
// forwards the buttons and Timer1 to it.
#include "app/core/service_control_clock.h"
#include "app/core/service_control_panel.h"

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace components {
class TDrawPanel;
}

namespace app::ui {

class RadioGroup;

struct ActionsArea : ServiceControlView
{
    // directoryLine: the window's Label3, which a refresh without a state borrows.
    ActionsArea(QWidget *parent, QLabel *directoryLine);

    // Ends every settings load: shows the service's state in RadioGroup1.
    void RefreshServiceStatus();
    // "Starta Vardo-Tjänsten" and "Stoppa Vardo-Tjänsten".
    void btnRestartServiceClick();
    void btnStopServiceClick();
    // Fires 2000 ms after a refresh that found no state.
    void Timer1Timer();
    // The two "Uppdatera" buttons: ask the running service on port (the port field as it
    // stands) for its version and log folder.
    void btnCheckVardoTjanstClick(int port);
    void btnGetLoggdirClick(int port);

    // ServiceControlView
    void showWaitPanel() override;
    void hideWaitPanel() override;
    void setStatusIndex(int index) override;
    void setDirectoryLine(const QString &text) override;
    void startTimer1() override;
    void stopTimer1() override;
    void processPendingEvents() override;

    QGroupBox *GroupBox3;
    RadioGroup *RadioGroup1;
    components::TDrawPanel *Panel2;   // a plain panel: no gradient
    QLabel *Label4;
    QGroupBox *GroupBox9;
    QLineEdit *edVardoTjanstVersion;
    QPushButton *btnCheckVardoTjanst;
    QGroupBox *GroupBox6;
    QPlainTextEdit *MemoLoggdir;
    QPushButton *btnGetLoggdir;
    QPushButton *btnStopService;
    QPushButton *btnRestartService;
    QTimer *Timer1;

private:
    QWidget *statusWithWaitPanel();
    void buildVersionGroup();
    void buildLogDirGroup();
    ServiceControlPanel &servicePanel();

    QLabel *m_directoryLine;
    PaintingWaitClock m_clock;
    // Made on first use: choosing the backend can fail, and then each use reports why.
    std::unique_ptr<platform::ServiceManager> m_manager;
    std::unique_ptr<ServiceControl> m_control;
    std::unique_ptr<ServiceControlPanel> m_panel;
};

} // namespace app::ui
