#pragma once
// Matching the entries of an archive with the items of a file list by folded name: each
// entry takes the first item left whose key equals its name. The items are found by hash,
// so matching a list of 200,000 items against as many entries takes linear time, and the
// items taken leave the list in one pass at the end instead of one removal each.
#include <QHash>
#include <QStringList>

#include <optional>
#include <vector>

namespace archive {

class ListMatcher
{
public:
    // keys[i] is the folded key of item i, or none when that item can match nothing.
    explicit ListMatcher(const std::vector<std::optional<QString>> &keys);

    // The first item not yet taken whose key is `folded`, now taken; -1 when none is left.
    qsizetype take(const QString &folded);

private:
    QHash<QString, qsizetype> m_first;   // the first item left of each key
    std::vector<qsizetype> m_next;       // the next item of the same key, -1 after the last
};

// Removes the items whose flag is set, keeping the others in order.
void removeFlagged(QStringList &list, const std::vector<bool> &flagged);

} // namespace archive
