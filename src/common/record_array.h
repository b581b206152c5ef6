// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The growable array of fixed-size records used for lyric lines, song
// entries, tempo maps, syllables, notes and stream events. Out-of-range
// access yields nothing instead of failing, and storage grows in whole steps,
// at least doubling, so that appending one record at a time stays cheap
// however long a file is.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace melnix {

template <typename T>
class RecordArray {
public:
    explicit RecordArray(int growStep = 100) : growStep_(growStep > 0 ? growStep : 1) {}

    // -1 when empty.
    int highestIndex() const { return static_cast<int>(items_.size()) - 1; }
    int size() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }

    T* at(int i) { return inRange(i) ? &items_[static_cast<size_t>(i)] : nullptr; }
    const T* at(int i) const { return inRange(i) ? &items_[static_cast<size_t>(i)] : nullptr; }

    // Unchecked access for loops that already know the bounds.
    T& operator[](int i) { return items_[static_cast<size_t>(i)]; }
    const T& operator[](int i) const { return items_[static_cast<size_t>(i)]; }

    int append(T item) {
        reserveFor(items_.size() + 1);
        items_.push_back(std::move(item));
        return highestIndex();
    }

    // Inserts before index i; i may equal size() to append. Returns the index
    // of the new record, or -1 when i is out of range.
    int insertAt(int i, T item) {
        if (i < 0 || i > size()) return -1;
        reserveFor(items_.size() + 1);
        items_.insert(items_.begin() + i, std::move(item));
        return i;
    }

    // Removes count records from index i; the range is clipped to the array.
    void removeAt(int i, int count = 1) {
        if (i < 0 || count <= 0 || i >= size()) return;
        int end = (count > size() - i) ? size() : i + count;
        items_.erase(items_.begin() + i, items_.begin() + end);
    }

    void setSize(int n) {
        if (n < 0) n = 0;
        reserveFor(static_cast<size_t>(n));
        items_.resize(static_cast<size_t>(n));
    }

    void clear() { items_.clear(); }

    int growStep() const { return growStep_; }
    size_t capacity() const { return items_.capacity(); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    bool inRange(int i) const { return i >= 0 && i < size(); }

    void reserveFor(size_t n) {
        if (n <= items_.capacity()) return;
        size_t step = static_cast<size_t>(growStep_);
        n = std::max(n, items_.capacity() * 2);
        items_.reserve((n + step - 1) / step * step);
    }

    int growStep_;
    std::vector<T> items_;
};

}  // namespace melnix
