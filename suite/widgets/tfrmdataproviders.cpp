#include "suite/widgets/tfrmdataproviders.h"

#include "platform/widgets/qt_text_prompter.h"
#include "suite/dialogs.h"
#include "suite/widgets/data_provider_rows.h"
#include "suite/widgets/localise_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace suite {
namespace {

constexpr int ClientWidth = 209;
constexpr int ClientHeight = 250;
constexpr int ButtonPanelHeight = 64;
constexpr int BottomBarHeight = 38;

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    // Enter on a focused button presses it; elsewhere Enter reaches "OK".
    b->setAutoDefault(true);
    return b;
}

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfrmDataProviders::TfrmDataProviders(QWidget *parent)
    : QDialog(parent)
    , IniTextPosision(m_providers.IniTextPosision)
{
    buildControls();
    wireEvents();
    FormCreate();
}

void TfrmDataProviders::buildControls()
{
    setObjectName(QStringLiteral("frmDataProviders"));
    setWindowTitle(QStringLiteral("DataProviders"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    GroupBox1 = named(new QGroupBox(QStringLiteral("DataProviders"), this), "GroupBox1");
    Panel2 = named(new QWidget(GroupBox1), "Panel2");
    Panel2->setFixedHeight(ButtonPanelHeight);
    BitBtn4 = button("BitBtn4", QStringLiteral("Lägg till..."), Panel2);
    BitBtn5 = button("BitBtn5", QStringLiteral("Redigera..."), Panel2);
    BitBtn3 = button("BitBtn3", QStringLiteral("Välj som standard"), Panel2);
    BitBtn6 = button("BitBtn6", QStringLiteral("Radera"), Panel2);
    auto *buttons = new QGridLayout(Panel2);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(BitBtn4, 0, 0);
    buttons->addWidget(BitBtn5, 0, 1);
    buttons->addWidget(BitBtn3, 1, 0);
    buttons->addWidget(BitBtn6, 1, 1);

    Label1 = named(new QLabel(QStringLiteral("Befintliga DataProviders"), GroupBox1), "Label1");
    ListBox1 = named(new QListWidget(GroupBox1), "ListBox1");
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(13);
    ListBox1->setFont(listFont);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new DataProviderRowDelegate(m_providers, ListBox1));
    auto *group = new QVBoxLayout(GroupBox1);
    group->addWidget(Panel2);
    group->addWidget(Label1);
    group->addWidget(ListBox1, 1);

    Panel1 = named(new QWidget(this), "Panel1");
    Panel1->setFixedHeight(BottomBarHeight);
    BitBtn1 = button("BitBtn1", QStringLiteral("OK"), Panel1);
    BitBtn1->setDefault(true);
    BitBtn2 = button("BitBtn2", QStringLiteral("Avbryt"), Panel1);
    auto *bar = new QHBoxLayout(Panel1);
    bar->addStretch(1);
    bar->addWidget(BitBtn1);
    bar->addWidget(BitBtn2);

    auto *form = new QVBoxLayout(this);
    form->setContentsMargins(4, 4, 4, 0);
    form->setSpacing(0);
    form->addWidget(GroupBox1, 1);
    form->addWidget(Panel1);
    resize(ClientWidth, ClientHeight);
}

void TfrmDataProviders::wireEvents()
{
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmDataProviders::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn6Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TfrmDataProviders::ListBox1DblClick);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) { m_providers.setSelectedRow(row); });
    // Coming back from another program (the data-link editor) counts as an activation;
    // the dialog's own message boxes closing do not.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && isVisible())
            FormActivate();
    });
}

void TfrmDataProviders::FormCreate()
{
    LocaliseForm(this);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmDataProviders::RefreshList(const QString &nameToSelect)
{
    m_providers.RefreshList(nameToSelect);
    showRows();
}

void TfrmDataProviders::FormActivate()
{
    RefreshList(m_providers.defaultName());
}

void TfrmDataProviders::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmDataProviders::showRows()
{
    const QSignalBlocker blocker(ListBox1);
    ListBox1->clear();
    ListBox1->addItems(m_providers.rows());
    for (int row = 0; row < ListBox1->count(); ++row) {
        QListWidgetItem *item = ListBox1->item(row);
        item->setToolTip(item->text()); // a long name is cut in the narrow list
    }
    ListBox1->setCurrentRow(m_providers.selectedRow());
    if (m_providers.selectedRow() < 0)
        ListBox1->clearSelection();
}

bool TfrmDataProviders::rowSelected()
{
    if (m_providers.checkRowSelected())
        return true;
    ListBox1->setFocus();
    return false;
}

void TfrmDataProviders::BitBtn1Click()
{
    if (!rowSelected())
        return;
    m_providers.confirm();
    done(ResultOk);
}

void TfrmDataProviders::reject()
{
    done(ResultCancel);
}

void TfrmDataProviders::BitBtn3Click()
{
    if (!rowSelected())
        return;
    m_providers.chooseAsDefault();
    ListBox1->viewport()->update();
}

void TfrmDataProviders::BitBtn4Click()
{
    const std::optional<QString> name = platform::promptForText(DataProviders::newDataLinkPrompt(), this);
    if (!name)
        return;
    m_providers.addDataLink(*name);
    showRows();
}

void TfrmDataProviders::BitBtn5Click()
{
    if (!rowSelected())
        return;
    m_providers.editSelected();
}

void TfrmDataProviders::ListBox1DblClick()
{
    BitBtn5Click();
}

void TfrmDataProviders::BitBtn6Click()
{
    if (!rowSelected())
        return;
    m_providers.deleteSelected();
    showRows();
}

} // namespace suite
