// Sorting and searching of an order's references. `cmp(a, b)` returns the
// sign of a minus b under the order's key; `cmpValue(e)` the sign of the
// searched value minus entry e.
//
// The sort is a top-down merge sort over inclusive ranges:
//  - a range whose last index minus first index is below 9 is sorted by binary
//    insertion, each entry going after every entry of the sorted prefix that
//    is not greater than it (so such ranges keep the sequence of equal keys);
//  - a larger range is split at (first + last) / 2, both halves are sorted,
//    and nothing moves when the right half's first entry is not smaller than
//    the left half's last. Otherwise the merge starts at the first left entry
//    greater than the right half's first entry and alternates: right entries
//    are taken while the current left entry is >= them, then left entries
//    while the current right entry is >= them. A right entry equal to the
//    current left entry therefore goes first; equal keys may change places.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace varnok::order_sort {

using Ref = uint8_t*;

template <class Cmp>
void insertionSort(Ref* a, size_t first, size_t last, Cmp& cmp) {
    for (size_t i = first + 1; i <= last; ++i) {
        Ref x = a[i];
        size_t lo = first, hi = i;  // upper bound of x in [first, i)
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (cmp(x, a[mid]) < 0) hi = mid; else lo = mid + 1;
        }
        if (lo < i) {
            std::memmove(a + lo + 1, a + lo, (i - lo) * sizeof(Ref));
            a[lo] = x;
        }
    }
}

template <class Cmp>
void mergeSort(Ref* a, size_t first, size_t last, Cmp& cmp, Ref* temp) {
    if (last - first < 9) {
        insertionSort(a, first, last, cmp);
        return;
    }
    const size_t mid = first + (last - first) / 2;
    mergeSort(a, first, mid, cmp, temp);
    mergeSort(a, mid + 1, last, cmp, temp);
    if (cmp(a[mid + 1], a[mid]) >= 0) return;  // already in sequence

    // Left entries not greater than the right half's first stay in place.
    const Ref rightFirst = a[mid + 1];
    size_t lo = first, hi = mid + 1;
    while (lo < hi) {
        const size_t m = lo + (hi - lo) / 2;
        if (cmp(rightFirst, a[m]) < 0) hi = m; else lo = m + 1;
    }
    size_t i = lo, j = mid + 1, out = 0;
    while (i <= mid && j <= last) {
        while (j <= last && cmp(a[i], a[j]) >= 0) temp[out++] = a[j++];
        if (j > last) break;
        while (i <= mid && cmp(a[j], a[i]) >= 0) temp[out++] = a[i++];
    }
    while (i <= mid) temp[out++] = a[i++];
    // A right remainder already sits in its final place.
    std::memcpy(a + lo, temp, out * sizeof(Ref));
}

// Sorts n references; temp must hold n references.
template <class Cmp>
void sortReferences(Ref* a, size_t n, Cmp& cmp, Ref* temp) {
    if (n > 1) mergeSort(a, 0, n - 1, cmp, temp);
}

// Lowest index whose entry equals the value, or n.
template <class At, class CmpValue>
size_t firstMatch(size_t n, At at, CmpValue cmpValue) {
    size_t lo = 0, hi = n;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (cmpValue(at(mid)) > 0) lo = mid + 1; else hi = mid;
    }
    return (lo < n && cmpValue(at(lo)) == 0) ? lo : n;
}

// The index after the last entry that is not greater than the value.
template <class At, class CmpValue>
size_t insertionPoint(size_t n, At at, CmpValue cmpValue) {
    size_t lo = 0, hi = n;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (cmpValue(at(mid)) < 0) hi = mid; else lo = mid + 1;
    }
    return lo;
}

}  // namespace varnok::order_sort
