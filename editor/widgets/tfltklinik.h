#pragma once
// The organisation editor "Lägg till/redigera Organisationer": one organisation slot of
// the service. The administrator opens a data link ("Öppna"), picks the organisation
// number from the practice database and a certificate from the catalogue, and "Spara"
// writes the slot. The rules live in editor/ (open_data_link, fill_combo_from_query,
// certificate_catalogue, organisation_save); this window builds the controls and wires
// them to those functions.
//
// Result of exec(): 1 after "Spara", 2 after "Ångra", Escape or closing. A write the store
// refuses is shown in the application's error box and the dialog stays open.
#include "platform/database.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace components {
class TDrawPanel;
}

namespace editor {

struct ComboContents;

class TFLTKlinik : public QDialog
{
    Q_OBJECT
public:
    explicit TFLTKlinik(QWidget *parent = nullptr);
    ~TFLTKlinik() override;

    void LoadCertificates();
    void LoadDataLinks();

    void FormActivate();
    void ComboBox1Change();
    void BitBtn1Click();
    void btnSparaClick();

    // True while the organisation panel (Panel2) is in front of "Välj databasanslutning".
    bool isConnected() const;

    components::TDrawPanel *DrawPanel3;
    QPushButton *btnSpara;
    QPushButton *btnCancel;
    QGroupBox *GroupBox1;
    components::TDrawPanel *Panel1;
    QLineEdit *Edit1;
    QComboBox *ComboBox1;
    QPushButton *BitBtn1;
    components::TDrawPanel *Panel2;
    QComboBox *OrganisationsNrComboBox;
    QCheckBox *CheckBox1;
    QComboBox *cmbLicensList;
    components::TDrawPanel *pnlProperties;

    platform::DatabaseConnection Database1;
    platform::DatabaseQuery ADOQTrklinik;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildBottomBar();
    void buildConnectionStrip();
    void buildOrganisationPanel();
    void wireEvents();
    void FormCreate();
    void FormShow();
    void coverOrganisation();
    void uncoverOrganisation();
    static void showContents(QComboBox *combo, const ComboContents &contents);
};

} // namespace editor
