#include "app/ui/organisationsarea.h"

#include "components/widgetnames.h"
#include "editor/widgets/tfltklinik.h"
#include "suite/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace app::ui {

using components::named;
namespace {

// The role that carries a row's slot number.
constexpr int SlotRole = Qt::UserRole;

// The organisation editor for a slot, with the values it starts from when editing; true
// when the user saved.
bool showOrganisationEditor(QWidget *owner, int slot, const std::optional<OrganisationEditorValues> &values)
{
    editor::TFLTKlinik dialog(owner);
    dialog.Edit1->setText(QString::number(slot));
    if (values) {
        dialog.OrganisationsNrComboBox->setEditText(values->organisationsNr);
        dialog.cmbLicensList->setEditText(values->certificate);
        dialog.ComboBox1->setEditText(values->dataProvider);
        dialog.CheckBox1->setChecked(values->checkPasis);
    }
    return dialog.exec() == suite::ResultOk;
}

} // namespace

OrganisationsArea::OrganisationsArea(QWidget *parent)
    : GroupBox11(named<QGroupBox>("GroupBox11", parent))
    , ListBox1(named<QListWidget>("ListBox1", GroupBox11))
    , newbutton(named<QPushButton>("newbutton", GroupBox11))
    , editbutton(named<QPushButton>("editbutton", GroupBox11))
    , Button1(named<QPushButton>("Button1", GroupBox11))
{
    GroupBox11->setTitle(QStringLiteral("Befintliga organisationer (minst en måste finnas)"));
    newbutton->setText(QStringLiteral("Lägg till..."));
    editbutton->setText(QStringLiteral("Redigera..."));
    Button1->setText(QStringLiteral("Radera"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(newbutton);
    buttons->addWidget(editbutton);
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(GroupBox11);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);

    showEditor = [owner = GroupBox11](int slot, const std::optional<OrganisationEditorValues> &values) {
        return showOrganisationEditor(owner->window(), slot, values);
    };
}

void OrganisationsArea::FillOrganisationList()
{
    m_list = app::FillOrganisationList();
    showList();
}

void OrganisationsArea::newbuttonClick()
{
    openEditor(firstFreeOrganisationSlot(), std::nullopt);
}

void OrganisationsArea::editbuttonClick()
{
    takeSelection();
    if (const OrganisationRow *row = m_list.selectedRow())
        openEditor(row->slot, editorValuesForSlot(row->slot));
}

void OrganisationsArea::Button1Click()
{
    takeSelection();
    try {
        deleteSelectedOrganisation(m_list);
    } catch (...) {
        // The list was rebuilt: show what is left before the error is reported.
        showList();
        throw;
    }
    showList();
}

// The row the user chose in ListBox1 is the selected one of the list.
void OrganisationsArea::takeSelection()
{
    const QList<QListWidgetItem *> chosen = ListBox1->selectedItems();
    m_list.selected = chosen.isEmpty() ? -1 : ListBox1->row(chosen.first());
}

void OrganisationsArea::openEditor(int slot, const std::optional<OrganisationEditorValues> &values)
{
    if (showEditor && showEditor(slot, values))
        FillOrganisationList();
}

void OrganisationsArea::showList()
{
    ListBox1->clear();
    for (const OrganisationRow &row : m_list.rows) {
        auto *item = new QListWidgetItem(row.text, ListBox1);
        item->setData(SlotRole, row.slot);
    }
    if (m_list.selected >= 0)
        ListBox1->setCurrentRow(m_list.selected);
}

} // namespace app::ui
