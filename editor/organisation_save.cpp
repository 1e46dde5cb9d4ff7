#include "editor/organisation_save.h"

#include "editor/certificate_catalogue.h"
#include "suite/organisation_slot.h"

namespace editor {

void SaveOrganisation(int slot, const OrganisationEntry &entry)
{
    suite::writeOrganisationSlot({slot, entry.organisationsNr, SerialFromCertificateText(entry.certificateText),
                                  entry.dataProvider, entry.checkPasis ? QStringLiteral("1") : QStringLiteral("0")});
}

} // namespace editor
