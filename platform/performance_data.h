#pragma once
// The platform's performance data, in the published binary layout of a performance-data
// block (the 32-bit layout: title pointers take 4 bytes), built on Linux from the
// /proc/net/dev counters of the point-to-point interfaces (ppp*).
//
// Rules: every structure below is given by its named offsets and size; all numbers are
// little-endian. The block holds one object, the RAS port object (title index 906), with
// two 32-bit counters, bytes sent (872) and bytes received (874), and one instance per
// ppp interface; without such an interface it holds no object. Readers must check every
// offset and length against the block: the walker does. TELLVARA_PROC_NET_DEV names
// another file in the format of /proc/net/dev, for tests and trials without a modem.
#include "platform/ras_api.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace platform::perf {

// PERF_DATA_BLOCK
inline constexpr std::size_t BlockSignature = 0;        // "PERF" in UTF-16
inline constexpr std::size_t BlockLittleEndian = 8;
inline constexpr std::size_t BlockVersion = 12;
inline constexpr std::size_t BlockRevision = 16;
inline constexpr std::size_t BlockTotalByteLength = 20;
inline constexpr std::size_t BlockHeaderLength = 24;
inline constexpr std::size_t BlockNumObjectTypes = 28;
inline constexpr std::size_t BlockDefaultObject = 32;
inline constexpr std::size_t BlockSystemTime = 36;      // 16 bytes
inline constexpr std::size_t BlockPerfTime = 56;        // 8 bytes, after 4 of alignment
inline constexpr std::size_t BlockPerfFreq = 64;
inline constexpr std::size_t BlockPerfTime100nSec = 72;
inline constexpr std::size_t BlockSystemNameLength = 80;
inline constexpr std::size_t BlockSystemNameOffset = 84;
inline constexpr std::size_t BlockSize = 88;

// PERF_OBJECT_TYPE
inline constexpr std::size_t ObjectTotalByteLength = 0;
inline constexpr std::size_t ObjectDefinitionLength = 4;
inline constexpr std::size_t ObjectHeaderLength = 8;
inline constexpr std::size_t ObjectNameTitleIndex = 12;
inline constexpr std::size_t ObjectHelpTitleIndex = 20;
inline constexpr std::size_t ObjectDetailLevel = 28;
inline constexpr std::size_t ObjectNumCounters = 32;
inline constexpr std::size_t ObjectDefaultCounter = 36;
inline constexpr std::size_t ObjectNumInstances = 40;   // signed; NoInstances when none
inline constexpr std::size_t ObjectCodePage = 44;
inline constexpr std::size_t ObjectPerfTime = 48;
inline constexpr std::size_t ObjectPerfFreq = 56;
inline constexpr std::size_t ObjectSize = 64;

// PERF_COUNTER_DEFINITION
inline constexpr std::size_t CounterByteLength = 0;
inline constexpr std::size_t CounterNameTitleIndex = 4;
inline constexpr std::size_t CounterHelpTitleIndex = 12;
inline constexpr std::size_t CounterDefaultScale = 20;
inline constexpr std::size_t CounterDetailLevel = 24;
inline constexpr std::size_t CounterType = 28;
inline constexpr std::size_t CounterSize = 32;
inline constexpr std::size_t CounterOffset = 36;
inline constexpr std::size_t CounterDefinitionSize = 40;

// PERF_INSTANCE_DEFINITION, followed by its UTF-16 name
inline constexpr std::size_t InstanceByteLength = 0;
inline constexpr std::size_t InstanceParentObjectTitleIndex = 4;
inline constexpr std::size_t InstanceParentObjectInstance = 8;
inline constexpr std::size_t InstanceUniqueId = 12;
inline constexpr std::size_t InstanceNameOffset = 16;
inline constexpr std::size_t InstanceNameLength = 20;
inline constexpr std::size_t InstanceSize = 24;

// PERF_COUNTER_BLOCK, followed by the counter values
inline constexpr std::size_t CounterBlockByteLength = 0;
inline constexpr std::size_t CounterBlockSize = 4;

inline constexpr std::int32_t NoInstances = -1;
inline constexpr std::uint32_t RasPortObject = 906;
inline constexpr std::uint32_t BytesTransmittedCounter = 872;
inline constexpr std::uint32_t BytesReceivedCounter = 874;
inline constexpr std::uint32_t RawCountType = 0x00010000; // PERF_COUNTER_RAWCOUNT
inline constexpr std::uint32_t DetailNovice = 100;         // PERF_DETAIL_NOVICE

// Reads the performance data of the object named by its title index ("906") into
// buffer, as the registry's performance key answers: 0 with size set to the bytes
// written, ras::ErrorMoreData when size is too small (size is left as it was), or another
// error number when the data cannot be read.
ras::Dword queryPerformanceData(const QString &titleIndex, char *buffer, ras::Dword &size);

// The block for the text of /proc/net/dev; exposed for tests and fuzz seeds.
QByteArray buildRasPortBlock(const QByteArray &procNetDev);

} // namespace platform::perf
