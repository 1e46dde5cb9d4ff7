#include "suite/organisation_slot.h"

#include "suite/registry.h"
#include "suite/service_keys.h"
#include "platform/error.h"

#include <QList>

namespace suite {
namespace {

QString readSlotValue(const QString &key, const QString &name)
{
    return ReadRegistryString(RegistryRoot::LocalMachine, key, name);
}

[[noreturn]] void throwWriteFailure()
{
    throw platform::Error(LastRegistryWriteFailure() + QStringLiteral("\n\n") + MachineWriteRightsHint);
}

struct SlotValue
{
    QString key;
    QString name;
    QString text;
};

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

void writeOrganisationSlot(const OrganisationSlot &values)
{
    const QString key = organisationSlotKey(values.slot);
    const QString certificate = key + QStringLiteral("\\Certifikat");
    const QString dataProvider = key + QStringLiteral("\\DataProvider");
    const QList<SlotValue> writes{
        {key, OrganisationValue::OrganisationsNr, values.organisationsNr},
        {key, OrganisationValue::CheckPasis, values.checkPasis},
        {certificate, OrganisationValue::DefaultVardoCertificate, values.certificate},
        {dataProvider, OrganisationValue::DefaultDataProvider, values.dataProvider},
    };
    for (const SlotValue &write : writes) {
        if (write.text.size() > RegistryTextLimit)
            throw platform::Error(QStringLiteral("\"%1\" is longer than %2 characters.").arg(write.name).arg(RegistryTextLimit));
    }
    for (const QString &each : {key, certificate, dataProvider}) {
        if (!PrepareRegistryKeyForWrite(RegistryRoot::LocalMachine, each))
            throwWriteFailure();
    }
    for (const SlotValue &write : writes) {
        if (!WriteRegistryString(RegistryRoot::LocalMachine, write.key, write.name, write.text))
            throwWriteFailure();
    }
}

bool checkPasisTicked(const QString &text)
{
    return text == QLatin1String("1");
}

} // namespace suite
