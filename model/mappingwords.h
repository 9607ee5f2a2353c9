#pragma once

#include "eds/edsentry.h"

#include <QList>
#include <QVector>

// The default mapping words of the mapping objects in a list of entries as the
// EDS gives them (0x1600-0x17FF, 0x1A00-0x1BFF): for one mapping object, its
// sub-indexes 1 to the count its sub-index 0 states, in sub-index order; of two
// entries for one sub-index the first counts. Only the words the list holds are
// returned: a count may promise any number.
class MappingWords
{
public:
    // The list must outlive the walk.
    explicit MappingWords(const QList<EdsEntry> &mappingList);

    QVector<EdsEntry> of(int mappingIndex) const;

private:
    const QList<EdsEntry> &m_list;
    // Lists read from an EDS are in dictionary order, so a binary search finds what
    // a walk from the start would; lists in any other order are walked.
    bool m_sorted;
};

// Index and sub-index of the object a mapping word names.
inline int mappedIndex(quint32 word) { return int(word >> 16); }
inline int mappedSubIndex(quint32 word) { return int((word >> 8) & 0xFF); }
