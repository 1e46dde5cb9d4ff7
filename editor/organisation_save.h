#pragma once
// "Spara" of the organisation editor, shared with vardoctl org add|edit: the slot's four
// values, written in this order under HKEY_LOCAL_MACHINE, results not examined (as the
// service has always tolerated):
//   slot key                 "OrganisationsNr"          the organisation number as typed
//   slot key                 "CheckPasis"               "1" or "0"
//   slot key\Certifikat      "DefaultVardoCertificate"  the serial taken from the certificate text
//   slot key\DataProvider    "DefaultDataProvider"      the data link in use
#include <QString>

#include <functional>

namespace editor {

struct OrganisationEntry
{
    QString organisationsNr;
    bool checkPasis = false;
    QString certificateText; // a catalogue line, a bare serial or anything typed
    QString dataProvider;    // DefaultDataProviderFile when the editor saves
};

// Writes one machine value; WriteRegistryString unless a test watches the writes.
using MachineValueWriter = std::function<bool(const QString &key, const QString &name, const QString &text)>;

void SaveOrganisation(int slot, const OrganisationEntry &entry, const MachineValueWriter &write = {});

} // namespace editor
