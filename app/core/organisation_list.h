#pragma once
// The rules of the window's list "Befintliga organisationer" over the organisation slots
// (their layout: suite/organisation_slot.h): which rows it shows, which slot "Lägg till..."
// takes, what "Redigera..." hands the editor and how "Radera" deletes. vardoctl and the
// service read the slots through the same functions.
//
// The list shows the slots in use from 1 to 100; a new organisation takes the first slot
// whose number is empty after trimming blanks, with no upper limit, so slot 101 and above
// can be stored but are never listed.
#include "suite/organisation_slot.h"

#include <QList>
#include <QString>

namespace app {

inline constexpr int LastListedOrganisationSlot = 100;

// Slots 1 to 100 that are in use, in slot order.
QList<suite::OrganisationSlot> readListedOrganisations();

// One row of the list: its text and the slot it stands for. Operations take the slot from
// here, never from the text.
struct OrganisationRow
{
    QString text; // "OrganisationsNr" + " - " + "DefaultVardoCertificate"
    int slot = 0;

    bool operator==(const OrganisationRow &) const = default;
};

struct OrganisationList
{
    QList<OrganisationRow> rows;
    int selected = -1; // index into rows; -1 when none

    const OrganisationRow *selectedRow() const;
};

// FillOrganisationList: the rows of slots 1 to 100 in use, the first one selected.
OrganisationList FillOrganisationList();

// A slot a new organisation may take: its number is empty after trimming blanks.
bool organisationSlotFree(int slot);

// "Lägg till...": the slot the editor opens with, the first free one.
int firstFreeOrganisationSlot();

// "Redigera...": what the editor shows for a slot before it is opened.
struct OrganisationEditorValues
{
    QString slotText;        // Edit1
    QString organisationsNr; // OrganisationsNrComboBox
    QString certificate;     // cmbLicensList
    QString dataProvider;    // ComboBox1
    bool checkPasis = false; // CheckBox1
};

OrganisationEditorValues editorValuesForSlot(int slot);

// "Radera": the organisation's name in a row text, the part before the first " - " without
// surrounding blanks ("" when there is no " - "), and the question asked about it.
QString organisationNameOfRow(const QString &rowText);
QString deletionQuestion(const QString &rowText);

// Asks the deletion question for the selected row and, on Yes, deletes it as below.
// Nothing happens without a selected row; No changes nothing. True when the slot was
// deleted.
bool deleteSelectedOrganisation(OrganisationList &list);

// Deletes the slot of the selected row with the slot's sub-keys, without asking, and
// rebuilds the list, also when deleting fails (the error is passed on after).
void deleteOrganisationRow(OrganisationList &list);

} // namespace app
