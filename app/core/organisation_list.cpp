#include "app/core/organisation_list.h"

#include "app/core/service_keys.h"
#include "suite/dialogs.h"
#include "suite/registry.h"
#include "suite/translate.h"

namespace app {
namespace {

const QString RowSeparator = QStringLiteral(" - ");

QString readSlotValue(const QString &key, const QString &name)
{
    return suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, key, name);
}

QString organisationsNrOf(int slot)
{
    return readSlotValue(organisationSlotKey(slot), OrganisationValue::OrganisationsNr);
}

QString certificateOf(int slot)
{
    return readSlotValue(certificateKey(slot), OrganisationValue::DefaultVardoCertificate);
}

} // namespace

QString organisationSlotKey(int slot)
{
    return serviceSubKey(QStringLiteral("Organisation\\OrgNr")) + QString::number(slot);
}

QString certificateKey(int slot)
{
    return organisationSlotKey(slot) + QStringLiteral("\\Certifikat\\");
}

QString dataProviderKey(int slot)
{
    return organisationSlotKey(slot) + QStringLiteral("\\DataProvider\\");
}

OrganisationSlot readOrganisationSlot(int slot)
{
    return {slot, organisationsNrOf(slot), certificateOf(slot),
            readSlotValue(dataProviderKey(slot), OrganisationValue::DefaultDataProvider),
            readSlotValue(organisationSlotKey(slot), OrganisationValue::CheckPasis)};
}

bool checkPasisTicked(const QString &text)
{
    return text == QLatin1String("1");
}

QList<OrganisationSlot> readListedOrganisations()
{
    QList<OrganisationSlot> used;
    for (int slot = FirstOrganisationSlot; slot <= LastListedOrganisationSlot; ++slot) {
        if (!organisationsNrOf(slot).isEmpty())
            used.append(readOrganisationSlot(slot));
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
    for (int slot = FirstOrganisationSlot; slot <= LastListedOrganisationSlot; ++slot) {
        const QString number = organisationsNrOf(slot);
        if (!number.isEmpty())
            list.rows.append({number + RowSeparator + certificateOf(slot), slot});
    }
    list.selected = list.rows.isEmpty() ? -1 : 0;
    return list;
}

int firstFreeOrganisationSlot()
{
    int slot = FirstOrganisationSlot;
    // Ends: each step reads one more slot, and the store holds finitely many keys.
    while (!organisationsNrOf(slot).trimmed().isEmpty())
        ++slot;
    return slot;
}

OrganisationEditorValues editorValuesForSlot(int slot)
{
    const OrganisationSlot stored = readOrganisationSlot(slot);
    return {QString::number(slot), stored.organisationsNr, stored.certificate, stored.dataProvider,
            checkPasisTicked(stored.checkPasis)};
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
    const QString key = organisationSlotKey(row->slot);
    try {
        suite::DeleteRegistryKey(suite::RegistryRoot::LocalMachine, key);
    } catch (...) {
        list = FillOrganisationList();
        throw;
    }
    list = FillOrganisationList();
}

} // namespace app
