#include "archive/entrylookup.h"

#include "archive/entrynames.h"

namespace archive {

void EntryLookup::rebuild(const std::vector<TZLBFileRec> &records)
{
    m_first.clear();
    m_first.reserve(static_cast<qsizetype>(records.size()));
    for (size_t i = 0; i < records.size(); ++i)
        add(fullName(records[i]), static_cast<int>(i));
}

int EntryLookup::find(const QString &fullName) const
{
    return m_first.value(names::foldCase(fullName), -1);
}

void EntryLookup::add(const QString &fullName, int index)
{
    const QString key = names::foldCase(fullName);
    if (!m_first.contains(key))
        m_first.insert(key, index);
}

} // namespace archive
