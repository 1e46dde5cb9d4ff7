#include "datalink/ui/datalink_window.h"

#include "platform/odbc_catalog.h"
#include "platform/error.h"
#include "suite/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace datalink {
namespace {

struct KindCaption
{
    ProviderKind kind;
    const char *caption;
    const char *dataSourceLabel;
};

constexpr KindCaption KindCaptions[] = {
    {ProviderKind::SQLite, "SQLite-databasfil", "Databasfil:"},
    {ProviderKind::Odbc, "ODBC-datakälla eller drivrutin", "Server:"},
    {ProviderKind::SqlServer, "SQL Server (genom ODBC)", "Server (värd\\instans eller värd,port):"},
    {ProviderKind::PostgreSql, "PostgreSQL", "Server (värd eller värd:port):"},
};

constexpr int MinimumWidth = 460;

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QComboBox *editableCombo(const char *name, const QStringList &entries, QWidget *parent)
{
    auto *combo = named(new QComboBox(parent), name);
    combo->setEditable(true);
    combo->addItem(QString());
    combo->addItems(entries);
    return combo;
}

} // namespace

DataLinkWindow::DataLinkWindow(DataLinkEditor &editor, QWidget *parent)
    : QDialog(parent)
    , m_editor(editor)
{
    buildControls();
    wireEvents();
    showFields(m_editor.fields());
}

void DataLinkWindow::buildControls()
{
    setObjectName(QStringLiteral("DataLinkWindow"));
    setWindowTitle(QStringLiteral("Datalänk - ") + QFileInfo(m_editor.path()).fileName());
    cbProvider = named(new QComboBox(this), "cbProvider");
    for (const KindCaption &k : KindCaptions)
        cbProvider->addItem(QString::fromUtf8(k.caption), static_cast<int>(k.kind));
    lblDataSource = named(new QLabel(this), "lblDataSource");
    edDataSource = named(new QLineEdit(this), "edDataSource");
    btnBrowse = named(new QPushButton(QStringLiteral("Bläddra..."), this), "btnBrowse");
    auto *dataSourceRow = new QHBoxLayout;
    dataSourceRow->addWidget(edDataSource, 1);
    dataSourceRow->addWidget(btnBrowse);
    cbDsn = editableCombo("cbDsn", platform::odbcDataSourceNames(), this);
    cbDriver = editableCombo("cbDriver", platform::odbcDriverNames(), this);
    edDatabase = named(new QLineEdit(this), "edDatabase");
    edUser = named(new QLineEdit(this), "edUser");
    edPassword = named(new QLineEdit(this), "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    chkSavePassword = named(new QCheckBox(QStringLiteral("Spara lösenord"), this), "chkSavePassword");

    m_form = new QFormLayout;
    m_form->addRow(QStringLiteral("Dataprovider:"), cbProvider);
    m_form->addRow(QStringLiteral("ODBC-datakälla:"), cbDsn);
    m_form->addRow(QStringLiteral("ODBC-drivrutin:"), cbDriver);
    m_form->addRow(lblDataSource, dataSourceRow);
    m_form->addRow(QStringLiteral("Databas:"), edDatabase);
    m_form->addRow(QStringLiteral("Användarnamn:"), edUser);
    m_form->addRow(QStringLiteral("Lösenord:"), edPassword);
    m_form->addRow(QString(), chkSavePassword);

    btnTest = named(new QPushButton(QStringLiteral("Testa anslutningen"), this), "btnTest");
    lblTestResult = named(new QLabel(this), "lblTestResult");
    lblTestResult->setWordWrap(true);
    lblTestResult->setTextFormat(Qt::PlainText);
    lblTestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(this);
    btnOk = named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "btnOk");
    btnCancel = named(buttons->addButton(QStringLiteral("Avbryt"), QDialogButtonBox::RejectRole), "btnCancel");
    btnOk->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(btnTest, 0, Qt::AlignLeft);
    layout->addWidget(lblTestResult);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

void DataLinkWindow::wireEvents()
{
    connect(cbProvider, &QComboBox::currentIndexChanged, this, &DataLinkWindow::cbProviderChange);
    connect(btnBrowse, &QPushButton::clicked, this, &DataLinkWindow::btnBrowseClick);
    connect(btnTest, &QPushButton::clicked, this, &DataLinkWindow::btnTestClick);
    connect(btnOk, &QPushButton::clicked, this, &DataLinkWindow::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &DataLinkWindow::reject);
    connect(&m_tester, &ConnectionTester::finished, this, &DataLinkWindow::showTestResult);
    // A result shown next to other fields than those tested would tell something false.
    for (QLineEdit *edit : {edDataSource, edDatabase, edUser, edPassword})
        connect(edit, &QLineEdit::textChanged, this, &DataLinkWindow::fieldChange);
    for (QComboBox *combo : {cbDsn, cbDriver})
        connect(combo, &QComboBox::currentTextChanged, this, &DataLinkWindow::fieldChange);
    connect(chkSavePassword, &QCheckBox::toggled, this, &DataLinkWindow::fieldChange);
    connect(cbProvider, &QComboBox::currentIndexChanged, this, &DataLinkWindow::fieldChange);
}

void DataLinkWindow::fieldChange()
{
    lblTestResult->clear();
    m_testOutdated = true;
}

DataLinkFields DataLinkWindow::fieldsShown() const
{
    DataLinkFields fields;
    fields.kind = static_cast<ProviderKind>(cbProvider->currentData().toInt());
    fields.dataSource = edDataSource->text().trimmed();
    fields.database = edDatabase->text().trimmed();
    fields.dsn = cbDsn->currentText().trimmed();
    fields.driver = cbDriver->currentText().trimmed();
    fields.user = edUser->text();
    fields.password = edPassword->text();
    fields.savePassword = chkSavePassword->isChecked();
    return fields;
}

void DataLinkWindow::showFields(const DataLinkFields &fields)
{
    cbProvider->setCurrentIndex(cbProvider->findData(static_cast<int>(fields.kind)));
    edDataSource->setText(fields.dataSource);
    edDatabase->setText(fields.database);
    cbDsn->setCurrentText(fields.dsn);
    cbDriver->setCurrentText(fields.driver);
    edUser->setText(fields.user);
    edPassword->setText(fields.password);
    chkSavePassword->setChecked(fields.savePassword);
    cbProviderChange();
}

void DataLinkWindow::cbProviderChange()
{
    const ProviderKind kind = fieldsShown().kind;
    for (const KindCaption &k : KindCaptions) {
        if (k.kind == kind)
            lblDataSource->setText(QString::fromUtf8(k.dataSourceLabel));
    }
    btnBrowse->setVisible(kind == ProviderKind::SQLite);
    m_form->setRowVisible(cbDsn, usesDsn(kind));
    m_form->setRowVisible(cbDriver, usesDriver(kind));
    m_form->setRowVisible(edDatabase, usesDatabase(kind));
    for (QWidget *w : {static_cast<QWidget *>(edUser), static_cast<QWidget *>(edPassword),
                       static_cast<QWidget *>(chkSavePassword)})
        m_form->setRowVisible(w, usesCredentials(kind));
    lblTestResult->clear();
    // As tall as the kind's fields need, no taller.
    resize(isVisible() ? qMax(width(), MinimumWidth) : MinimumWidth, sizeHint().height());
}

void DataLinkWindow::btnBrowseClick()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("SQLite-databasfil"), edDataSource->text());
    if (!file.isEmpty())
        edDataSource->setText(file);
}

void DataLinkWindow::btnTestClick()
{
    lblTestResult->setText(QStringLiteral("Ansluter..."));
    btnTest->setEnabled(false);
    m_testOutdated = false;
    m_tester.start(m_editor.connectionStringForTest(fieldsShown()));
}

void DataLinkWindow::showTestResult(const ConnectionTestResult &result)
{
    btnTest->setEnabled(true);
    if (m_testOutdated)
        return;
    lblTestResult->setText(result.succeeded ? QStringLiteral("Anslutningen fungerar.")
                                            : QStringLiteral("Anslutningen misslyckades: ") + result.message);
}

void DataLinkWindow::btnOkClick()
{
    try {
        m_editor.save(fieldsShown());
    } catch (const platform::Error &e) {
        suite::ShowError(e.message());
        return;
    }
    accept();
}

} // namespace datalink
