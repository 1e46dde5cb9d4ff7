#pragma once
// Finding an entry by its full name ("path" followed by "name", only A to Z folded to
// lower case) without decoding every record for every lookup. The first entry of a name
// wins, as the format's lookups demand when a name occurs twice.
//
// The table holds only each name's hash and entry index, 8 bytes a slot, and compares a
// candidate with the name read from its record: an archive of many entries costs no
// second copy of every name.
#include "archive/zlbrecords.h"

#include <vector>

namespace archive {

class EntryLookup
{
public:
    void rebuild(const std::vector<TZLBFileRec> &records);
    // Index of the first entry of that full name in `records`, -1 when there is none.
    int find(const std::vector<TZLBFileRec> &records, const QString &fullName) const;
    // Notes the entry appended at `index`; an earlier entry of the same name stays first.
    void add(const std::vector<TZLBFileRec> &records, int index);

private:
    struct Slot
    {
        quint32 hash = 0;
        qint32 index = -1;   // -1: free
    };

    // The slot holding that name, or the free one where it would go.
    size_t slotFor(const std::vector<TZLBFileRec> &records, const QString &folded, quint32 hash) const;
    void grow();

    std::vector<Slot> m_slots;
    size_t m_used = 0;
};

} // namespace archive
