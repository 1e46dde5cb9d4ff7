#pragma once
// The layout of one organisation slot in the machine-wide store, a contract with the
// Vardo service: "SOFTWARE\Tellvara\Vardo-Service\Organisation\OrgNr" + the slot number
// holds "OrganisationsNr" and "CheckPasis", its sub-key "Certifikat" holds
// "DefaultVardoCertificate" and its sub-key "DataProvider" holds "DefaultDataProvider".
// The console's list, the organisation editor, vardoctl and the service all reach the
// slots through here. A slot is in use when its "OrganisationsNr" is not empty; slots are
// numbered from 1 and never renumbered.
#include <QString>

namespace suite {

inline constexpr int FirstOrganisationSlot = 1;

namespace OrganisationValue {
inline const QString OrganisationsNr = QStringLiteral("OrganisationsNr");
inline const QString CheckPasis = QStringLiteral("CheckPasis");
inline const QString DefaultVardoCertificate = QStringLiteral("DefaultVardoCertificate");
inline const QString DefaultDataProvider = QStringLiteral("DefaultDataProvider");
} // namespace OrganisationValue

// "SOFTWARE\Tellvara\Vardo-Service\Organisation\OrgNr" + slot.
QString organisationSlotKey(int slot);
// The slot's sub-keys, read with a trailing "\" (the editor writes them without one).
QString certificateKey(int slot);
QString dataProviderKey(int slot);

// Everything stored in one slot; absent or unreadable values are "".
struct OrganisationSlot
{
    int slot = 0;
    QString organisationsNr;
    QString certificate;   // "DefaultVardoCertificate"
    QString dataProvider;  // "DefaultDataProvider"
    QString checkPasis;    // "1" or "0" as stored
};

OrganisationSlot readOrganisationSlot(int slot);
QString readOrganisationsNr(int slot);
QString readCertificate(int slot);

// Writes the slot's four values in this order: "OrganisationsNr", "CheckPasis", then
// "Certifikat\DefaultVardoCertificate" and "DataProvider\DefaultDataProvider" (sub-keys
// named without a trailing "\"). Every text is checked against the store's limit, and the
// slot key and both sub-keys are made and must be writable, before the first value, so a
// refusal leaves the stored values as they were; every write is checked. Throws platform::Error with the store's reason and
// MachineWriteRightsHint.
void writeOrganisationSlot(const OrganisationSlot &values);

// "CheckPasis" is on only when exactly "1".
bool checkPasisTicked(const QString &text);

} // namespace suite
