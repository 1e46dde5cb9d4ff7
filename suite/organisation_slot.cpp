#include "suite/organisation_slot.h"

#include "suite/registry.h"
#include "suite/service_keys.h"

namespace suite {
namespace {

QString readSlotValue(const QString &key, const QString &name)
{
    return ReadRegistryString(RegistryRoot::LocalMachine, key, name);
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

QString readOrganisationsNr(int slot)
{
    return readSlotValue(organisationSlotKey(slot), OrganisationValue::OrganisationsNr);
}

QString readCertificate(int slot)
{
    return readSlotValue(certificateKey(slot), OrganisationValue::DefaultVardoCertificate);
}

OrganisationSlot readOrganisationSlot(int slot)
{
    return {slot, readOrganisationsNr(slot), readCertificate(slot),
            readSlotValue(dataProviderKey(slot), OrganisationValue::DefaultDataProvider),
            readSlotValue(organisationSlotKey(slot), OrganisationValue::CheckPasis)};
}

bool checkPasisTicked(const QString &text)
{
    return text == QLatin1String("1");
}

} // namespace suite
