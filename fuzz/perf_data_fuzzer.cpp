// Feeds arbitrary bytes to the dial-up component's performance-data walker as the block
// the platform returned; any read outside it is a sanitizer report.
#include "dialup/perf_data_walker.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray block = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    dialup::PerfByteCounters counters;
    dialup::WalkPerfData(block, counters, [] {});
    return 0;
}
