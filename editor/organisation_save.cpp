#include "editor/organisation_save.h"

#include "suite/organisation_slot.h"
#include "editor/certificate_catalogue.h"
#include "suite/registry.h"

namespace editor {

void SaveOrganisation(int slot, const OrganisationEntry &entry, const MachineValueWriter &writer)
{
    const MachineValueWriter write = writer ? writer : [](const QString &key, const QString &name, const QString &text) {
        return suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, key, name, text);
    };
    namespace Value = suite::OrganisationValue;
    const QString key = suite::organisationSlotKey(slot);
    write(key, Value::OrganisationsNr, entry.organisationsNr);
    write(key, Value::CheckPasis, entry.checkPasis ? QStringLiteral("1") : QStringLiteral("0"));
    write(key + QStringLiteral("\\Certifikat"), Value::DefaultVardoCertificate,
          SerialFromCertificateText(entry.certificateText));
    write(key + QStringLiteral("\\DataProvider"), Value::DefaultDataProvider, entry.dataProvider);
}

} // namespace editor
