#pragma once
// Array<T>: the checker's owning array. Slot i of the block points to element i, a copy the
// array owns, made in the array's element store.
//
// The block grows by 50 slots whenever it is full, so its capacity runs 50, 100, 150, ...
// Out-of-range access is never an error: operator[] gives null and GetElement reports 0.
// Allocation failures are reported by Append's -1, never thrown by the array itself.

#include <algorithm>
#include <new>
#include <utility>

#include "checker/elementstore.h"

template <typename T>
class Array {
public:
    static constexpr int kGrowth = 50;

    Array() { Allocate(kGrowth); }

    // Appends copies of the source's non-null elements in index order. The block is sized
    // at once to the capacity that appending them one by one would reach.
    Array(const Array& other) {
        const int copies =
            static_cast<int>(std::count_if(other.m_data, other.m_data + other.m_count,
                                           [](const T* element) { return element != nullptr; }));
        Allocate(CapacityFor(copies));
        m_elements.Reserve(copies);
        for (int i = 0; i < other.m_count; ++i) {
            if (other.m_data[i] != nullptr) {
                Append(*other.m_data[i]);
            }
        }
    }

    Array& operator=(const Array&) = delete;

    ~Array() {
        RemoveAll();
        delete[] m_data;
    }

    // The new element's index, or -1 when no slot or no copy could be allocated (the array
    // is then unchanged).
    int Append(const T& element) { return Adopt(element); }
    // The same, taking over a temporary instead of copying it.
    int Append(T&& element) { return Adopt(std::move(element)); }

    T* operator[](int index) { return InRange(index) ? m_data[index] : nullptr; }
    const T* operator[](int index) const { return InRange(index) ? m_data[index] : nullptr; }

    // Copies element index into out and returns 1; returns 0 and leaves out untouched when
    // there is no such element.
    int GetElement(int index, T& out) const {
        if (!InRange(index) || m_data[index] == nullptr) {
            return 0;
        }
        out = *m_data[index];
        return 1;
    }

    int Size() const { return m_count; }
    int Capacity() const { return m_capacity; }

    // Makes room for count elements at once, reaching the capacity that appending them one by
    // one would reach, so that filling a large array of known size moves its slots once and
    // allocates its elements' room once. False when that room cannot be allocated.
    bool Reserve(int count) {
        const int needed = CapacityFor(count);
        return m_data != nullptr && (needed <= m_capacity || Resize(needed)) &&
               m_elements.Reserve(count - m_count);
    }

    // Destroys every element; the block and its capacity stay.
    void RemoveAll() {
        for (int i = 0; i < m_count; ++i) {
            m_data[i]->~T();
            m_data[i] = nullptr;
        }
        m_count = 0;
        m_elements.Clear();
    }

private:
    template <typename Source>
    int Adopt(Source&& element) {
        if (m_data == nullptr) {
            return -1;
        }
        if (m_count == m_capacity && !Grow()) {
            return -1;
        }
        T* const copy = m_elements.Construct(std::forward<Source>(element));
        if (copy == nullptr) {
            return -1;
        }
        m_data[m_count] = copy;
        return m_count++;
    }

    void Allocate(int slotCount) {
        m_data = new (std::nothrow) T*[slotCount]();
        m_capacity = m_data != nullptr ? slotCount : 0;
    }

    // The capacity of an array that count appends to a new array would leave.
    static int CapacityFor(int count) {
        return std::max(kGrowth, (count + kGrowth - 1) / kGrowth * kGrowth);
    }

    bool Grow() { return Resize(m_capacity + kGrowth); }

    bool Resize(int slotCount) {
        T** bigger = new (std::nothrow) T*[slotCount]();
        if (bigger == nullptr) {
            return false;
        }
        std::copy(m_data, m_data + m_count, bigger);
        delete[] m_data;
        m_data = bigger;
        m_capacity = slotCount;
        return true;
    }

    bool InRange(int index) const { return m_data != nullptr && index >= 0 && index < m_count; }

    T** m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
    ElementStore<T> m_elements;
};
