#pragma once
// The data-link editor's window: the kind of provider, its fields, "Testa anslutningen",
// OK and "Avbryt". It only moves fields between its controls and DataLinkEditor and shows
// what the test reports.
#include "datalink/core/connection_test.h"
#include "datalink/core/data_link_editor.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace datalink {

class DataLinkWindow : public QDialog
{
    Q_OBJECT

public:
    explicit DataLinkWindow(DataLinkEditor &editor, QWidget *parent = nullptr);

    DataLinkFields fieldsShown() const;
    void showFields(const DataLinkFields &fields);

    void cbProviderChange();
    void fieldChange();
    void btnBrowseClick();
    void btnTestClick();
    void btnOkClick();

    QComboBox *cbProvider;
    QLabel *lblDataSource;
    QLineEdit *edDataSource;
    QPushButton *btnBrowse;
    QComboBox *cbDsn;
    QComboBox *cbDriver;
    QLineEdit *edDatabase;
    QLineEdit *edUser;
    QLineEdit *edPassword;
    QCheckBox *chkSavePassword;
    QPushButton *btnTest;
    QLabel *lblTestResult;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    ConnectionTester &tester() { return m_tester; }

private:
    void buildControls();
    void wireEvents();
    void showTestResult(const ConnectionTestResult &result);

    DataLinkEditor &m_editor;
    ConnectionTester m_tester;
    QFormLayout *m_form = nullptr;
    bool m_testOutdated = false; // the fields changed since the running test started
};

} // namespace datalink
