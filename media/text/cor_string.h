// The engine's own byte strings: CCorString keeps an explicit length and a separate capacity
// (the buffer always holds capacity + 1 bytes, the text followed by a zero), and compares
// with result codes for order, equality and the prefix case. CCorStyledString's text may
// hold control sequences for inline pictures and spacing: a byte 0xFD, 0xFE or 0xFF, a
// signed length L, and the next unit L bytes after the length byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/core/wintypes.h"

// Compare results.
enum : uint16_t {
    kCompareBefore = 0,
    kCompareEqual = 1,
    kCompareAfter = 2,
    kComparePrefix = 5,  // equal over the shorter length, lengths differ
};

// Control codes are the signed bytes -codeRange..-1; the strings use 3 (0xFD..0xFF), the bitmap
// font 2 (0xFE, 0xFF).
inline bool IsControlCode(BYTE b, int codeRange) {
    const int s = static_cast<int8_t>(b);
    return s < 0 && s >= -codeRange;
}

// The size in bytes of the unit starting at pos: 1 for a character, 1 + L for a control
// sequence. 0 when no whole unit starts there: pos at or past the end, or a control sequence
// without its length byte, with L below 1 (which would never move on) or running past the end.
// Walks of styled text stop there.
size_t StyledUnitSize(std::span<const BYTE> text, size_t pos, int codeRange);

// The number of units, stopping at a zero byte, a malformed sequence or the end.
int16_t StyledUnitCount(std::span<const BYTE> text, int codeRange);

// Byte offset of the unit after `units` units from the start (stopping early at a malformed
// sequence or the end).
size_t StyledUnitsToBytes(std::span<const BYTE> text, int units, int codeRange);

class CCorString {
public:
    // Lengths and positions are signed 16-bit: a string never grows past this many bytes
    // (longer texts are cut), so every count of its bytes or units fits.
    static constexpr int32_t kMaxLength = 0x7FFF;

    CCorString();
    CCorString(const char* text);
    CCorString(const BYTE* bytes, int16_t n);
    CCorString(const CCorString& other);
    // String `index` (1 = first) of the 'IST' list of a module-relative id.
    CCorString(int16_t listId, int16_t index);
    virtual ~CCorString();

    CCorString& operator=(const CCorString& other) {
        AssignString(other);
        return *this;
    }

    // How many of the first n bytes equal c (0 for n < 1); bounded by the span.
    virtual int16_t TallyChar(BYTE c, std::span<const BYTE> bytes, int16_t n) const;

    void Assign(const BYTE* bytes, int16_t n);
    void AssignString(const CCorString& other);
    void AssignText(const char* text);
    void Append(const BYTE* bytes, int16_t n);
    void Insert(const BYTE* bytes, int16_t n, int16_t position);
    void Delete(int16_t position, int16_t n);

    uint16_t Compare(const BYTE* bytes, int16_t n, uint16_t caseSensitive) const;
    uint16_t CompareString(const CCorString& other) const;
    uint16_t CompareText(const char* text) const;
    uint16_t CompareNoCase(const CCorString& other) const;

    const BYTE* Bytes() const { return m_buffer; }
    const char* CStr() const { return reinterpret_cast<const char*>(m_buffer); }
    int32_t Length() const { return m_length; }
    int32_t Capacity() const { return m_capacity; }
    std::span<const BYTE> Span() const { return {m_buffer, static_cast<size_t>(m_length)}; }

protected:
    // Replaces the buffer by one holding capacity + 1 bytes, the first `keep` bytes kept.
    void Reserve(int32_t capacity, int32_t keep);

    BYTE* m_buffer = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};

class CCorStyledString : public CCorString {
public:
    CCorStyledString() = default;
    explicit CCorStyledString(const CCorString& string) : CCorString(string) {}
    CCorStyledString(const CCorStyledString& other) : CCorString(other) {}
    CCorStyledString& operator=(const CCorStyledString& other) {
        AssignString(other);
        return *this;
    }

    // Walks n units: each character equal to c counts, a control sequence is skipped whole.
    int16_t TallyChar(BYTE c, std::span<const BYTE> bytes, int16_t n) const override;
    // The number of units, stopping at a zero byte, a malformed sequence or the end.
    int16_t VisibleLength() const;

    uint16_t CodeRange() const { return m_codeRange; }

private:
    uint16_t m_codeRange = 3;
};
