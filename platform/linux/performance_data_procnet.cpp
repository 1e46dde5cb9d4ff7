// The RAS port object from /proc/net/dev: one instance per ppp interface, counters
// truncated to 32 bits as the platform's 32-bit counters wrap.
#include "platform/performance_data.h"

#include <QFile>
#include <QList>
#include <QtEndian>

#include <cstring>

namespace platform::perf {
namespace {

constexpr ras::Dword ErrorFileNotFound = 2;

QString procNetDevPath()
{
    const QString chosen = qEnvironmentVariable("TELLVARA_PROC_NET_DEV");
    return chosen.isEmpty() ? QStringLiteral("/proc/net/dev") : chosen;
}

struct PppCounters
{
    QString name;
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
};

// Lines "  ppp0: rx_bytes rx_packets ... (8 receive fields) tx_bytes ...".
QList<PppCounters> pppInterfaces(const QByteArray &text)
{
    QList<PppCounters> found;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        if (!name.startsWith("ppp"))
            continue;
        const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
        if (fields.size() < 9)
            continue;
        found << PppCounters{QString::fromLatin1(name), std::uint32_t(fields[8].toULongLong()),
                             std::uint32_t(fields[0].toULongLong())};
    }
    return found;
}

void put32(QByteArray &block, std::size_t offset, std::uint32_t value)
{
    qToLittleEndian(value, block.data() + offset);
}

void put64(QByteArray &block, std::size_t offset, std::uint64_t value)
{
    qToLittleEndian(value, block.data() + offset);
}

QByteArray counterDefinition(std::uint32_t title, std::uint32_t offset)
{
    QByteArray d(CounterDefinitionSize, '\0');
    put32(d, CounterByteLength, CounterDefinitionSize);
    put32(d, CounterNameTitleIndex, title);
    put32(d, CounterHelpTitleIndex, title + 1);
    put32(d, CounterDetailLevel, DetailNovice);
    put32(d, CounterType, RawCountType);
    put32(d, CounterSize, 4);
    put32(d, CounterOffset, offset);
    return d;
}

// The instance with its name (UTF-16, zero-terminated, padded to 8 bytes) and its
// counter block.
QByteArray instance(const PppCounters &ppp, std::uint32_t uniqueId)
{
    const QByteArray name(reinterpret_cast<const char *>(ppp.name.utf16()), (ppp.name.size() + 1) * 2);
    const std::size_t definitionLength = (InstanceSize + name.size() + 7) / 8 * 8;
    QByteArray d(qsizetype(definitionLength), '\0');
    put32(d, InstanceByteLength, std::uint32_t(definitionLength));
    put32(d, InstanceUniqueId, uniqueId);
    put32(d, InstanceNameOffset, InstanceSize);
    put32(d, InstanceNameLength, std::uint32_t(name.size()));
    std::memcpy(d.data() + InstanceSize, name.constData(), std::size_t(name.size()));
    QByteArray counters(CounterBlockSize + 8 + 4, '\0'); // padded to 8 bytes
    put32(counters, CounterBlockByteLength, std::uint32_t(counters.size()));
    put32(counters, CounterBlockSize, ppp.sent);
    put32(counters, CounterBlockSize + 4, ppp.received);
    return d + counters;
}

QByteArray rasPortObject(const QList<PppCounters> &interfaces)
{
    QByteArray definitions = counterDefinition(BytesTransmittedCounter, CounterBlockSize)
                             + counterDefinition(BytesReceivedCounter, CounterBlockSize + 4);
    QByteArray instances;
    for (qsizetype i = 0; i < interfaces.size(); ++i)
        instances += instance(interfaces[i], std::uint32_t(i));
    QByteArray header(ObjectSize, '\0');
    put32(header, ObjectTotalByteLength, std::uint32_t(ObjectSize + definitions.size() + instances.size()));
    put32(header, ObjectDefinitionLength, std::uint32_t(ObjectSize + definitions.size()));
    put32(header, ObjectHeaderLength, ObjectSize);
    put32(header, ObjectNameTitleIndex, RasPortObject);
    put32(header, ObjectHelpTitleIndex, RasPortObject + 1);
    put32(header, ObjectDetailLevel, DetailNovice);
    put32(header, ObjectNumCounters, 2);
    put32(header, ObjectNumInstances, std::uint32_t(interfaces.size()));
    return header + definitions + instances;
}

} // namespace

QByteArray buildRasPortBlock(const QByteArray &procNetDev)
{
    const QList<PppCounters> interfaces = pppInterfaces(procNetDev);
    const QByteArray object = interfaces.isEmpty() ? QByteArray() : rasPortObject(interfaces);
    const QByteArray systemName(reinterpret_cast<const char *>(u"LOCALHOST"), 20);
    QByteArray header(BlockSize, '\0');
    const char16_t signature[4] = {u'P', u'E', u'R', u'F'};
    std::memcpy(header.data() + BlockSignature, signature, sizeof signature);
    put32(header, BlockLittleEndian, 1);
    put32(header, BlockVersion, 1);
    put32(header, BlockRevision, 1);
    put32(header, BlockTotalByteLength, std::uint32_t(BlockSize + systemName.size() + object.size()));
    put32(header, BlockHeaderLength, std::uint32_t(BlockSize + systemName.size()));
    put32(header, BlockNumObjectTypes, interfaces.isEmpty() ? 0 : 1);
    put32(header, BlockDefaultObject, RasPortObject);
    put64(header, BlockPerfFreq, 1);
    put32(header, BlockSystemNameLength, std::uint32_t(systemName.size()));
    put32(header, BlockSystemNameOffset, BlockSize);
    return header + systemName + object;
}

ras::Dword queryPerformanceData(const QString &titleIndex, char *buffer, ras::Dword &size)
{
    if (titleIndex != QString::number(RasPortObject))
        return ErrorFileNotFound;
    QFile file(procNetDevPath());
    if (!file.open(QIODevice::ReadOnly))
        return ErrorFileNotFound;
    const QByteArray block = buildRasPortBlock(file.readAll());
    if (std::size_t(block.size()) > size)
        return ras::ErrorMoreData;
    std::memcpy(buffer, block.constData(), std::size_t(block.size()));
    size = ras::Dword(block.size());
    return ras::Success;
}

} // namespace platform::perf
