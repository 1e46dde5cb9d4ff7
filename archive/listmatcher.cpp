#include "archive/listmatcher.h"

namespace archive {

ListMatcher::ListMatcher(const std::vector<std::optional<QString>> &keys)
    : m_next(keys.size(), -1)
{
    // A key maps to its first item plus one: a key met for the first time reads 0, none.
    m_first.reserve(static_cast<qsizetype>(keys.size()));
    // From the last item to the first, so each key's chain runs in list order.
    for (size_t i = keys.size(); i-- > 0;) {
        if (!keys[i])
            continue;
        qsizetype &first = m_first[*keys[i]];
        m_next[i] = first - 1;
        first = static_cast<qsizetype>(i) + 1;
    }
}

qsizetype ListMatcher::take(const QString &folded)
{
    const auto found = m_first.find(folded);
    if (found == m_first.end() || found.value() == 0)
        return -1;
    const qsizetype item = found.value() - 1;
    found.value() = m_next[static_cast<size_t>(item)] + 1;
    return item;
}

void removeFlagged(QStringList &list, const std::vector<bool> &flagged)
{
    QStringList kept;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!flagged[static_cast<size_t>(i)])
            kept.append(list.at(i));
    }
    list = kept;
}

} // namespace archive
