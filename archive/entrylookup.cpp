#include "archive/entrylookup.h"

#include "archive/entrynames.h"

#include <QHash>

namespace archive {
namespace {

quint32 hashOf(const QString &folded)
{
    return static_cast<quint32>(qHash(folded));
}

QString foldedName(const TZLBFileRec &rec)
{
    return names::foldCase(fullName(rec));
}

} // namespace

void EntryLookup::rebuild(const std::vector<TZLBFileRec> &records)
{
    m_used = 0;
    size_t capacity = 16;
    while (capacity < 2 * records.size())
        capacity *= 2;
    // A new table, so a smaller archive does not keep the memory of a larger one.
    m_slots = std::vector<Slot>(capacity);
    for (size_t i = 0; i < records.size(); ++i)
        add(records, static_cast<int>(i));
}

size_t EntryLookup::slotFor(const std::vector<TZLBFileRec> &records, const QString &folded, quint32 hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (slot.index < 0)
            return at;
        if (slot.hash == hash && foldedName(records[static_cast<size_t>(slot.index)]) == folded)
            return at;
    }
}

int EntryLookup::find(const std::vector<TZLBFileRec> &records, const QString &fullName) const
{
    if (m_slots.empty())
        return -1;
    const QString folded = names::foldCase(fullName);
    return m_slots[slotFor(records, folded, hashOf(folded))].index;
}

void EntryLookup::add(const std::vector<TZLBFileRec> &records, int index)
{
    if (2 * (m_used + 1) > m_slots.size())
        grow();
    const QString folded = foldedName(records[static_cast<size_t>(index)]);
    const quint32 hash = hashOf(folded);
    Slot &slot = m_slots[slotFor(records, folded, hash)];
    if (slot.index >= 0)
        return;
    slot = {hash, index};
    ++m_used;
}

void EntryLookup::grow()
{
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 16 : 2 * old.size(), Slot());
    const size_t mask = m_slots.size() - 1;
    // Names are unique in the table, so each goes to the first free slot of its probe.
    for (const Slot &slot : old) {
        if (slot.index < 0)
            continue;
        size_t at = slot.hash & mask;
        while (m_slots[at].index >= 0)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

} // namespace archive
