#include "model/mappingwords.h"

#include <algorithm>

MappingWords::MappingWords(const QList<EdsEntry> &mappingList)
    : m_list(mappingList)
    , m_sorted(std::is_sorted(mappingList.cbegin(), mappingList.cend(), comesBefore))
{
}

QVector<EdsEntry> MappingWords::of(int mappingIndex) const
{
    QVector<EdsEntry> words;
    const auto countAt = std::find_if(m_list.cbegin(), m_list.cend(), [&](const EdsEntry &e) {
        return e.index == mappingIndex && e.subIndex == 0;
    });
    if (countAt == m_list.cend())
        return words;
    const qint64 count = countAt->defaultValue;
    const auto wanted = [&](const EdsEntry &e) {
        return e.index == mappingIndex && e.subIndex >= 1 && e.subIndex <= count;
    };
    if (m_sorted) {
        EdsEntry first;
        first.index = mappingIndex;
        first.subIndex = 1;
        for (auto it = std::lower_bound(countAt, m_list.cend(), first, comesBefore); it != m_list.cend() && wanted(*it); ++it)
            words.append(*it);
        return words;
    }
    for (const EdsEntry &e : m_list) {
        const bool earlierTwin = std::any_of(words.cbegin(), words.cend(),
                                             [&](const EdsEntry &w) { return w.subIndex == e.subIndex; });
        if (wanted(e) && !earlierTwin)
            words.append(e);
    }
    std::stable_sort(words.begin(), words.end(), [](const EdsEntry &a, const EdsEntry &b) { return a.subIndex < b.subIndex; });
    return words;
}
