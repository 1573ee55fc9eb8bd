// CDynArray: the engine's growable array, embedded in its owner, over object pointers, plain
// records and 16-bit values. It never keeps spare room: a block that must grow is replaced
// by one of exactly the size needed, and removing keeps the block, so adding after a removal
// needs no allocation. Positions are 16-bit indexes.
//
// Misuse is reported, never carried out: a position beyond the number of elements shows
// "invalid CDynArray position" and a size that would reach 0xFFFFFFFE shows "CDynArray too
// long" (a message box with the exclamation icon); the array is left as it was and nothing is
// read or written. A block that cannot be had raises the memory exception.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <new>
#include <type_traits>

#include "platform/afx/exceptions.h"

inline constexpr uint32_t kDynArrayTooLong = 0xFFFFFFFEu;
// Shows one of the array's two reports.
void ReportDynArrayTooLong();
void ReportDynArrayPosition();

template <class T>
class CDynArray {
    static_assert(std::is_trivially_copyable_v<T>, "CDynArray holds pointers, records and values");

public:
    CDynArray() = default;
    // A copy of the elements (pointers are copied, not what they point at), in a block of
    // exactly their number.
    CDynArray(const CDynArray& other) { Assign(other); }
    CDynArray& operator=(const CDynArray& other) {
        if (this != &other) Assign(other);
        return *this;
    }
    ~CDynArray() { Free(); }

    uint32_t GetSize() const { return m_size; }
    uint32_t GetCapacity() const { return m_capacity; }
    bool IsEmpty() const { return m_size == 0; }
    // The element at index, or null when the index is negative or not below the size.
    T* At(int index) { return index >= 0 && static_cast<uint32_t>(index) < m_size ? &m_data[index] : nullptr; }
    const T* At(int index) const {
        return index >= 0 && static_cast<uint32_t>(index) < m_size ? &m_data[index] : nullptr;
    }
    // The element at index, or value when there is none.
    T GetAt(int index, T value = T{}) const {
        const T* p = At(index);
        return p ? *p : value;
    }
    T* begin() { return m_data; }
    T* end() { return m_data + m_size; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_size; }

    // Appends one element.
    void Add(const T& value) {
        const T copy = value;  // value may lie in the block that is replaced
        if (!Reserve(m_size + 1ull)) return;
        m_data[m_size++] = copy;
    }
    // Removes the first element equal to value; nothing when there is none.
    void Remove(const T& value)
        requires std::equality_comparable<T>
    {
        const T* found = std::find(begin(), end(), value);
        if (found != end()) RemoveAt(static_cast<int>(found - m_data), 1);
    }
    // Index of the first element equal to value, or -1.
    int Find(const T& value) const
        requires std::equality_comparable<T>
    {
        const T* found = std::find(begin(), end(), value);
        return found == end() ? -1 : static_cast<int>(found - m_data);
    }
    // Removes n elements from index on (as many as there are), moving the rest down. An index
    // beyond the size is reported and changes nothing.
    void RemoveAt(int index, uint32_t n = 1) {
        if (index < 0 || static_cast<uint32_t>(index) > m_size) {
            ReportDynArrayPosition();
            return;
        }
        const uint32_t at = static_cast<uint32_t>(index);
        n = std::min(n, m_size - at);
        std::copy(m_data + at + n, m_data + m_size, m_data + at);
        m_size -= n;
    }
    // Inserts n elements of source before index (index == size appends). An index beyond the
    // size is reported and changes nothing.
    void InsertAt(int index, const T* source, uint32_t n) {
        if (index < 0 || static_cast<uint32_t>(index) > m_size) {
            ReportDynArrayPosition();
            return;
        }
        if (n == 0) return;
        CDynArray kept;  // source may lie in the block that is replaced
        kept.Assign(source, n);
        if (!Reserve(uint64_t{m_size} + n)) return;
        const uint32_t at = static_cast<uint32_t>(index);
        std::copy_backward(m_data + at, m_data + m_size, m_data + m_size + n);
        std::copy(kept.m_data, kept.m_data + n, m_data + at);
        m_size += n;
    }
    void InsertAt(int index, const T& value) { InsertAt(index, &value, 1); }
    // Makes the size n: growing fills the new elements with fill; shrinking keeps the block.
    void SetSize(uint32_t n, const T& fill = T{}) {
        const T copy = fill;
        if (!Reserve(n)) return;
        std::fill(m_data + std::min(n, m_size), m_data + n, copy);
        m_size = n;
    }
    // Frees the block: size and capacity 0.
    void Free() {
        delete[] m_data;
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    // Room for n elements: a block of exactly n when the capacity is below it.
    bool Reserve(uint64_t n) {
        if (n >= kDynArrayTooLong) {
            ReportDynArrayTooLong();
            return false;
        }
        if (n <= m_capacity) return true;
        T* block = new (std::nothrow) T[n];
        if (!block) AfxThrowMemoryException();
        std::copy(m_data, m_data + m_size, block);
        delete[] m_data;
        m_data = block;
        m_capacity = static_cast<uint32_t>(n);
        return true;
    }
    void Assign(const CDynArray& other) { Assign(other.m_data, other.m_size); }
    void Assign(const T* source, uint32_t n) {
        Free();
        if (n == 0) return;
        Reserve(n);
        std::copy(source, source + n, m_data);
        m_size = n;
    }

    T* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_capacity = 0;
};
