#pragma once
// The main window: a locked gradient panel in front of the unlocked one, which holds the
// settings, the organisation list and the "Actions" column; "Stäng" below both. Every
// event handler runs through suite::runEventHandler, so an error it raises is shown in the
// application's error box and the program goes on.
#include "app/ui/actionsarea.h"
#include "app/ui/lockedpanel.h"
#include "app/ui/organisationsarea.h"
#include "app/ui/settingsarea.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QStackedLayout;
class QWindow;

namespace app::ui {

class TMainVardoAdmin : public QWidget
{
    Q_OBJECT

public:
    // arguments: the whole command line, program first; runs FormCreate.
    explicit TMainVardoAdmin(const QStringList &arguments, QWidget *parent = nullptr);

    void FormCreate();
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    // "Ångra": reloads every setting, then refreshes the service status.
    void btnCancelClick();

    bool isLocked() const;

    LockedPanel &locked() { return m_locked; }
    SettingsArea &settings() { return m_settings; }
    OrganisationsArea &organisations() { return m_organisations; }
    ActionsArea &actions() { return m_actions; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildPanelStack();
    void buildUnlockedPanel();
    QWidget *buildBottomStrip();
    QWidget *buildSettingsGroup();
    void connectHandlers();
    void onClick(QAbstractButton *button, std::function<void()> handler);
    void centreOnScreen();
    void showLockedPanel();
    void showUnlockedPanel();
    void pressDefaultButton();
    // Creates the hidden HTTP transfer window (frmHTTP) and runs its InitializeAll.
    void createHttpWindow();
    // The port field as it stands, saved or not, for the "Uppdatera" buttons.
    int shownPort() const;

    QStringList m_arguments;
    LockedPanel m_locked;
    components::TDrawPanel *DrawPanel2;
    QGroupBox *GroupBox1;
    QLabel *Label3;
    OrganisationsArea m_organisations;
    SettingsArea m_settings;
    ActionsArea m_actions;
    components::TDrawPanel *Panel1;
    QPushButton *BitBtn2;
    QStackedLayout *m_panels = nullptr;
};

} // namespace app::ui
