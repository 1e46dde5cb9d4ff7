#include "app/core/organisation_list.h"

#include "suite/dialogs.h"
#include "suite/registry.h"
#include "suite/translate.h"

namespace app {
namespace {

const QString RowSeparator = QStringLiteral(" - ");

} // namespace

QList<suite::OrganisationSlot> readListedOrganisations()
{
    QList<suite::OrganisationSlot> used;
    for (int slot = suite::FirstOrganisationSlot; slot <= LastListedOrganisationSlot; ++slot) {
        if (!suite::readOrganisationsNr(slot).isEmpty())
            used.append(suite::readOrganisationSlot(slot));
    }
    return used;
}

const OrganisationRow *OrganisationList::selectedRow() const
{
    return selected >= 0 && selected < rows.size() ? &rows.at(selected) : nullptr;
}

OrganisationList FillOrganisationList()
{
    OrganisationList list;
    for (int slot = suite::FirstOrganisationSlot; slot <= LastListedOrganisationSlot; ++slot) {
        const QString number = suite::readOrganisationsNr(slot);
        if (!number.isEmpty())
            list.rows.append({number + RowSeparator + suite::readCertificate(slot), slot});
    }
    list.selected = list.rows.isEmpty() ? -1 : 0;
    return list;
}

bool organisationSlotFree(int slot)
{
    return suite::readOrganisationsNr(slot).trimmed().isEmpty();
}

int firstFreeOrganisationSlot()
{
    int slot = suite::FirstOrganisationSlot;
    // Ends: each step reads one more slot, and the store holds finitely many keys.
    while (!organisationSlotFree(slot))
        ++slot;
    return slot;
}

OrganisationEditorValues editorValuesForSlot(int slot)
{
    const suite::OrganisationSlot stored = suite::readOrganisationSlot(slot);
    return {QString::number(slot), stored.organisationsNr, stored.certificate, stored.dataProvider,
            suite::checkPasisTicked(stored.checkPasis)};
}

QString organisationNameOfRow(const QString &rowText)
{
    const qsizetype separator = rowText.indexOf(RowSeparator);
    return separator < 0 ? QString() : rowText.left(separator).trimmed();
}

QString deletionQuestion(const QString &rowText)
{
    return suite::TranslateText(QStringLiteral("Radera organisationen")) + QLatin1Char(' ')
           + organisationNameOfRow(rowText) + QLatin1Char('?');
}

bool deleteSelectedOrganisation(OrganisationList &list)
{
    const OrganisationRow *row = list.selectedRow();
    if (!row || suite::AskYesNo(deletionQuestion(row->text)) != suite::ResultYes)
        return false;
    deleteOrganisationRow(list);
    return true;
}

void deleteOrganisationRow(OrganisationList &list)
{
    const OrganisationRow *row = list.selectedRow();
    if (!row)
        return;
    const QString key = suite::organisationSlotKey(row->slot);
    try {
        suite::DeleteRegistryKey(suite::RegistryRoot::LocalMachine, key);
    } catch (...) {
        list = FillOrganisationList();
        throw;
    }
    list = FillOrganisationList();
}

} // namespace app
