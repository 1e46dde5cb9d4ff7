#pragma once
// The service settings in the unlocked panel: the timer, logging, port and import-folder
// groups and the bottom bar with "Spara" and "Ångra". The rules live in
// app/core/service_settings; this area only moves values between them and the fields.
#include "app/core/service_settings.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QWidget;

namespace components {
class TDrawPanel;
}

namespace app::ui {

struct SettingsArea
{
    explicit SettingsArea(QWidget *parent);

    // The fields as loaded or edited. Text that is not an integer counts as 0 in the port
    // field and as 1 in the interval field.
    ServiceSettings shownSettings() const;
    void showSettings(const ServiceSettings &settings);

    // "Ångra" without the service status refresh that follows it.
    void loadFields();
    void btnSparaClick();
    void BitBtn4Click();

    // Asks for a folder: (title, starting folder) -> chosen folder, "" when cancelled.
    std::function<QString(const QString &, const QString &)> chooseFolder;
    // Where "Spara" writes; the machine-wide store unless a test watches the writes.
    SettingWriter writeSetting = writeMachineSetting;

    QGroupBox *GroupBox5 = nullptr;
    QSpinBox *SpinEdit1 = nullptr;
    QTimeEdit *DateTimePicker1 = nullptr;
    QGroupBox *GroupBox10 = nullptr;
    QCheckBox *CbLoggtoEventlogg = nullptr;
    QCheckBox *cbLoggtofile = nullptr;
    QGroupBox *GroupBox7 = nullptr;
    QSpinBox *SpinEdit2 = nullptr;
    QGroupBox *GroupBox8 = nullptr;
    QLineEdit *EdPasisPath = nullptr;
    QPushButton *BitBtn4 = nullptr;
    components::TDrawPanel *DrawPanel3 = nullptr;
    QPushButton *btnSpara = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    void buildTimerGroup();
    void buildLoggingGroup();
    void buildPortGroup();
    void buildImportGroup();
    void buildButtonBar();
};

} // namespace app::ui
