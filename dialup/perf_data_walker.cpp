#include "dialup/perf_data_walker.h"

#include "platform/performance_data.h"

#include <QtEndian>

#include <optional>
#include <vector>

namespace dialup {
namespace {

using namespace platform::perf;

// A window of the block; reads outside it give nothing.
class Span
{
public:
    Span(const QByteArray &bytes, std::size_t begin, std::size_t end)
        : m_bytes(bytes)
        , m_begin(begin)
        , m_end(end)
    {
    }

    std::optional<std::uint32_t> u32(std::size_t offset) const
    {
        if (offset > m_end - m_begin || m_end - m_begin - offset < 4)
            return std::nullopt;
        return qFromLittleEndian<std::uint32_t>(m_bytes.constData() + m_begin + offset);
    }

    // The part [offset, offset + length) of this window, when it lies inside.
    std::optional<Span> sub(std::size_t offset, std::size_t length) const
    {
        if (offset > m_end - m_begin || length > m_end - m_begin - offset)
            return std::nullopt;
        return Span(m_bytes, m_begin + offset, m_begin + offset + length);
    }

    std::size_t size() const { return m_end - m_begin; }

private:
    const QByteArray &m_bytes;
    std::size_t m_begin;
    std::size_t m_end;
};

struct Definition
{
    std::uint32_t title;
    std::uint32_t offset;
};

void raise(std::uint32_t &current, std::uint32_t value)
{
    if (std::int32_t(value) >= 0 && value > current)
        current = value;
}

// One counter block at offset of the object; returns its length, or nothing when damaged.
std::optional<std::uint32_t> readCounterBlock(const Span &object, std::size_t offset,
                                              const std::vector<Definition> &definitions, PerfByteCounters &counters)
{
    const std::optional<std::uint32_t> length = object.u32(offset + CounterBlockByteLength);
    if (!length || *length < CounterBlockSize)
        return std::nullopt;
    const std::optional<Span> block = object.sub(offset, *length);
    if (!block)
        return std::nullopt;
    for (const Definition &d : definitions) {
        if (d.title != BytesTransmittedCounter && d.title != BytesReceivedCounter)
            continue;
        const std::optional<std::uint32_t> value = block->u32(d.offset);
        if (!value)
            return std::nullopt;
        raise(d.title == BytesTransmittedCounter ? counters.sent : counters.received, *value);
    }
    return length;
}

bool readDefinitions(const Span &object, std::vector<Definition> &definitions, const std::function<void()> &keepResponsive)
{
    const std::optional<std::uint32_t> count = object.u32(ObjectNumCounters);
    std::optional<std::uint32_t> offset = object.u32(ObjectHeaderLength);
    if (!count || !offset || *count > MaxCounterDefinitions || *offset < ObjectSize)
        return false;
    std::size_t at = *offset;
    for (std::uint32_t i = 0; i < *count; ++i) {
        if (keepResponsive)
            keepResponsive();
        const std::optional<std::uint32_t> length = object.u32(at + CounterByteLength);
        const std::optional<std::uint32_t> title = object.u32(at + CounterNameTitleIndex);
        const std::optional<std::uint32_t> valueOffset = object.u32(at + CounterOffset);
        if (!length || !title || !valueOffset || *length < CounterDefinitionSize || !object.sub(at, *length))
            return false;
        definitions.push_back({*title, *valueOffset});
        at += *length;
    }
    return true;
}

bool readInstances(const Span &object, const std::vector<Definition> &definitions, PerfByteCounters &counters)
{
    const std::optional<std::uint32_t> count = object.u32(ObjectNumInstances);
    const std::optional<std::uint32_t> start = object.u32(ObjectDefinitionLength);
    if (!count || !start || *start < ObjectSize)
        return false;
    std::size_t at = *start;
    if (std::int32_t(*count) <= 0)
        return readCounterBlock(object, at, definitions, counters).has_value();
    // Every instance and counter block takes room, so the count cannot outrun the block.
    for (std::int32_t i = 0; i < std::int32_t(*count); ++i) {
        const std::optional<std::uint32_t> length = object.u32(at + InstanceByteLength);
        if (!length || *length < InstanceSize || !object.sub(at, *length))
            return false;
        at += *length;
        const std::optional<std::uint32_t> blockLength = readCounterBlock(object, at, definitions, counters);
        if (!blockLength)
            return false;
        at += *blockLength;
    }
    return true;
}

bool readObject(const Span &object, PerfByteCounters &counters, const std::function<void()> &keepResponsive)
{
    std::vector<Definition> definitions;
    return readDefinitions(object, definitions, keepResponsive) && readInstances(object, definitions, counters);
}

} // namespace

bool WalkPerfData(const QByteArray &block, PerfByteCounters &counters, const std::function<void()> &keepResponsive)
{
    constexpr std::size_t MinimumBlock = 100;
    const Span whole(block, 0, std::size_t(block.size()));
    const std::optional<std::uint32_t> objects = whole.u32(BlockNumObjectTypes);
    const std::optional<std::uint32_t> first = whole.u32(BlockHeaderLength);
    if (whole.size() < MinimumBlock || !objects || *objects == 0 || !first)
        return false;
    PerfByteCounters found = counters;
    std::size_t at = *first;
    for (std::uint32_t i = 0; i < *objects; ++i) {
        if (keepResponsive)
            keepResponsive();
        const std::optional<std::uint32_t> length = whole.u32(at + ObjectTotalByteLength);
        if (!length || *length < ObjectSize)
            return false;
        const std::optional<Span> object = whole.sub(at, *length);
        if (!object || !readObject(*object, found, keepResponsive))
            return false;
        at += *length;
    }
    counters = found;
    return true;
}

} // namespace dialup
