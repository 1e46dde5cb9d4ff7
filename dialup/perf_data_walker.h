#pragma once
// Reads the byte counters of the RAS port object out of a performance-data block.
//
// The walk follows the published layout: the first object at the block's header length;
// per object the counter definitions at its header length (at most 50), then either one
// counter block, or per instance its definition and a counter block; the next object at
// the object's total length. Counters 872 and 874 raise the sent and received bytes to
// their value when it is not negative and larger. Every offset and length is checked
// against the block before it is read: a damaged block gives false and leaves the
// counters as they were.
#include <QByteArray>

#include <cstdint>
#include <functional>

namespace dialup {

struct PerfByteCounters
{
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
};

inline constexpr std::uint32_t MaxCounterDefinitions = 50;

// keepResponsive runs once before each object and once per counter definition taken.
bool WalkPerfData(const QByteArray &block, PerfByteCounters &counters,
                  const std::function<void()> &keepResponsive = {});

} // namespace dialup
