#ifndef INDEXEDLIST_H
#define INDEXEDLIST_H

#include <QtGlobal>

#include <deque>

// An append-only list addressed by absolute positions: the n-th element ever appended keeps the
// index n even after the elements before it have been dropped. The decoder and the traffic view
// each keep a read position into the frame lists; once both have passed an element it can be
// dropped, so a day-long session keeps only what is still to be parsed or shown.
template <typename T> class IndexedList {
public:
    // One past the absolute index of the newest element (the number of elements ever appended).
    qint64 size() const { return appended; }
    // Absolute index of the oldest element still held.
    qint64 firstIndex() const { return first; }
    // Number of elements still held.
    qint64 heldCount() const { return static_cast<qint64>(items.size()); }
    bool contains(qint64 index) const { return index >= first && index < size(); }
    bool isEmpty() const { return items.empty(); }

    const T& at(qint64 index) const { return items[static_cast<size_t>(index - first)]; }
    T& operator[](qint64 index) { return items[static_cast<size_t>(index - first)]; }
    const T& operator[](qint64 index) const { return at(index); }
    const T& last() const { return items.back(); }

    void append(const T& value) {
        items.push_back(value);
        ++appended;
    }
    void append(T&& value) {
        items.push_back(std::move(value));
        ++appended;
    }

    // Drops every element below the absolute index `index`.
    void dropBefore(qint64 index) {
        while (first < index && !items.empty()) {
            items.pop_front();
            ++first;
        }
    }

private:
    std::deque<T> items;
    qint64 first = 0;
    qint64 appended = 0; // kept, not counted: the frame loop asks for it at every frame
};

#endif // INDEXEDLIST_H
