#pragma once
// The "Actions" column of the unlocked panel: the service status, the wait panel over it,
// the version and log-folder probes and the start and stop buttons. Their behaviour comes
// with service control and the probe; until then the handlers are the seams they fill.
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

struct ActionsArea
{
    explicit ActionsArea(QWidget *parent);

    // Ends every settings load: shows the service's state in RadioGroup1.
    void RefreshServiceStatus() {}
    // "Starta Vardo-Tjänsten" and "Stoppa Vardo-Tjänsten".
    void btnRestartServiceClick() {}
    void btnStopServiceClick() {}
    // Fires 2000 ms after a refresh that found no state.
    void Timer1Timer() {}
    // The two "Uppdatera" buttons: ask the running service for its version and log folder.
    void btnCheckVardoTjanstClick() {}
    void btnGetLoggdirClick() {}

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
};

} // namespace app::ui
