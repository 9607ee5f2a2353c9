#pragma once

// Lists kept in key order, built by appending as an EDS file's sections come.

#include <QList>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

// Position of the first element whose key is not smaller.
template<typename List, typename Key>
int lowerBound(const List &list, qint64 key, Key &&keyOf)
{
    int low = 0;
    int high = list.size();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (qint64(keyOf(list.at(middle))) < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Sections usually come in ascending order, so the lists they fill are built by
// appending; a section out of order only marks the list for one sort at the end.
// A later section with the same key replaces the earlier one, as it would when
// inserted in place.
template<typename List, typename Value, typename Key>
void appendKeyed(List &list, Value &&value, Key &&keyOf, bool &unsorted)
{
    if (!list.isEmpty()) {
        const qint64 last = qint64(keyOf(list.constLast()));
        const qint64 key = qint64(keyOf(value));
        if (key == last) {
            list.last() = std::forward<Value>(value);
            return;
        }
        if (key < last)
            unsorted = true;
    }
    list.append(std::forward<Value>(value));
}

template<typename List, typename Key>
void sortKeyedKeepingLast(List &list, Key &&keyOf);

template<typename T>
void swapElements(QList<T> &list, int a, int b)
{
    list.swapItemsAt(a, b);
}

template<typename T>
void swapElements(QVector<T> &vector, int a, int b)
{
    std::swap(vector[a], vector[b]);
}

// A list whose keys take at most `distinct` values and that the file keeps
// filling out of order is sorted as it goes, so it never holds more than twice
// what it keeps in the end.
template<typename List, typename Key>
void compactWhenLarge(List &list, Key &&keyOf, bool &unsorted, int distinct)
{
    if (unsorted && list.size() > 2 * distinct) {
        sortKeyedKeepingLast(list, keyOf);
        unsorted = false;
    }
}

template<typename List, typename Key>
void sortKeyedKeepingLast(List &list, Key &&keyOf)
{
    const int size = list.size();
    std::vector<std::pair<qint64, int>> order;
    order.reserve(size_t(size));
    for (int i = 0; i < size; ++i)
        order.emplace_back(qint64(keyOf(list.at(i))), i);
    std::sort(order.begin(), order.end()); // equal keys stay in file order
    // Target position r takes the element now at permutation[r]: first the last
    // of each key in key order, then the replaced ones, which are dropped.
    std::vector<int> permutation;
    permutation.reserve(size_t(size));
    std::vector<int> replaced;
    for (int k = 0; k < size; ++k) {
        if (k + 1 < size && order[size_t(k)].first == order[size_t(k + 1)].first)
            replaced.push_back(order[size_t(k)].second);
        else
            permutation.push_back(order[size_t(k)].second);
    }
    const int kept = int(permutation.size());
    permutation.insert(permutation.end(), replaced.begin(), replaced.end());
    // Swapping items of a QList only swaps pointers, so nothing is copied.
    std::vector<bool> done(size_t(size), false);
    for (int start = 0; start < size; ++start) {
        int current = start;
        while (!done[size_t(current)]) {
            done[size_t(current)] = true;
            const int next = permutation[size_t(current)];
            if (next == start)
                break;
            swapElements(list, current, next);
            current = next;
        }
    }
    list.erase(list.begin() + kept, list.end());
}
