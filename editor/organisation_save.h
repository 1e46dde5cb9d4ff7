#pragma once
// "Spara" of the organisation editor, shared with vardoctl org add|edit: the slot's four
// values written by suite::writeOrganisationSlot, which finds a refusal before the first
// value and throws with the reason:
//   slot key                 "OrganisationsNr"          the organisation number as typed
//   slot key                 "CheckPasis"               "1" or "0"
//   slot key\Certifikat      "DefaultVardoCertificate"  the serial taken from the certificate text
//   slot key\DataProvider    "DefaultDataProvider"      the data link in use
#include <QString>

namespace editor {

struct OrganisationEntry
{
    QString organisationsNr;
    bool checkPasis = false;
    QString certificateText; // a catalogue line, a bare serial or anything typed
    QString dataProvider;    // the data link the editor's box shows (DataLinkToStore)
};

// Throws platform::Error when the store refuses a write.
void SaveOrganisation(int slot, const OrganisationEntry &entry);

} // namespace editor
