#pragma once
// The data providers dialog, "DataProviders": lists the data-link files of the data-link
// folder, marks the default one and sets, adds, edits and deletes them. The window only
// builds its controls and forwards each event to suite::DataProviders.
#include "suite/data_providers.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace suite {

class TfrmDataProviders : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmDataProviders(QWidget *parent = nullptr);

    // The registry value name of the default data provider; set before the dialog is shown.
    QString &IniTextPosision;
    const DataProviders &providers() const { return m_providers; }

    // Rebuilds the list from the data-link folder and selects the row of that name.
    void RefreshList(const QString &nameToSelect);

    void FormCreate();
    void FormActivate();
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void ListBox1DblClick();

    QGroupBox *GroupBox1;
    QWidget *Panel2;
    QPushButton *BitBtn4;
    QPushButton *BitBtn5;
    QPushButton *BitBtn3;
    QPushButton *BitBtn6;
    QLabel *Label1;
    QListWidget *ListBox1;
    QWidget *Panel1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void wireEvents();
    // The list's rows and selection from the model.
    void showRows();
    // The row check; on failure the focus goes to the list.
    bool rowSelected();

    DataProviders m_providers;
};

} // namespace suite
