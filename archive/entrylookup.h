#pragma once
// Finding an entry by its full name ("path" followed by "name", only A to Z folded to
// lower case) without decoding every record for every lookup. The first entry of a name
// wins, as the format's lookups demand when a name occurs twice.
#include "archive/zlbrecords.h"

#include <QHash>

#include <vector>

namespace archive {

class EntryLookup
{
public:
    void rebuild(const std::vector<TZLBFileRec> &records);
    // Index of the first entry of that full name, -1 when there is none.
    int find(const QString &fullName) const;
    // Notes an entry appended at `index`; an earlier entry of the same name stays first.
    void add(const QString &fullName, int index);

private:
    QHash<QString, int> m_first;
};

} // namespace archive
