#include "media/text/cor_string.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "media/text/text_host.h"

namespace {

// The length of a C string, counting no further than max.
size_t BoundedLength(const char* text, size_t max) {
    size_t n = 0;
    while (n < max && text[n] != 0) ++n;
    return n;
}

}  // namespace

size_t StyledUnitSize(std::span<const BYTE> text, size_t pos, int codeRange) {
    if (pos >= text.size()) return 0;
    if (!IsControlCode(text[pos], codeRange)) return 1;
    if (pos + 1 >= text.size()) return 0;
    const int length = static_cast<int8_t>(text[pos + 1]);
    if (length < 1 || pos + 1 + static_cast<size_t>(length) > text.size()) return 0;
    return 1 + static_cast<size_t>(length);
}

int16_t StyledUnitCount(std::span<const BYTE> text, int codeRange) {
    int16_t units = 0;
    size_t pos = 0;
    while (units < INT16_MAX && pos < text.size() && text[pos] != 0) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        pos += size;
        ++units;
    }
    return units;
}

size_t StyledUnitsToBytes(std::span<const BYTE> text, int units, int codeRange) {
    size_t pos = 0;
    for (int i = 0; i < units; ++i) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        pos += size;
    }
    return pos;
}

CCorString::CCorString() {
    Reserve(0, 0);
}

CCorString::CCorString(const char* text) {
    const auto n = static_cast<int32_t>(text ? BoundedLength(text, kMaxLength) : 0);
    Reserve(n, 0);
    if (n > 0) std::memcpy(m_buffer, text, static_cast<size_t>(n));
    m_length = n;
    m_buffer[n] = 0;
}

CCorString::CCorString(const BYTE* bytes, int16_t n) {
    Reserve(0, 0);
    Assign(bytes, n);
}

CCorString::CCorString(const CCorString& other) {
    Reserve(other.m_length, 0);
    if (other.m_length > 0) std::memcpy(m_buffer, other.m_buffer, static_cast<size_t>(other.m_length));
    m_length = other.m_length;
    m_buffer[m_length] = 0;
}

CCorString::CCorString(int16_t listId, int16_t index) {
    char area[260];
    CopyModuleListString(area, sizeof area, listId, index);
    area[sizeof area - 1] = 0;
    const auto n = static_cast<int32_t>(std::strlen(area));
    Reserve(n, 0);
    std::memcpy(m_buffer, area, static_cast<size_t>(n));
    m_length = n;
    m_buffer[n] = 0;
}

CCorString::~CCorString() {
    delete[] m_buffer;
}

void CCorString::Reserve(int32_t capacity, int32_t keep) {
    auto* fresh = new BYTE[static_cast<size_t>(capacity) + 1];
    keep = std::max(0, std::min({keep, capacity, m_length}));
    if (m_buffer && keep > 0) std::memcpy(fresh, m_buffer, static_cast<size_t>(keep));
    fresh[keep] = 0;
    delete[] m_buffer;
    m_buffer = fresh;
    m_capacity = capacity;
}

int16_t CCorString::TallyChar(BYTE c, std::span<const BYTE> bytes, int16_t n) const {
    if (n < 1) return 0;
    const size_t end = std::min(bytes.size(), static_cast<size_t>(n));
    return static_cast<int16_t>(
        std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end), c));
}

void CCorString::Assign(const BYTE* bytes, int16_t n) {
    const int32_t count = std::max<int32_t>(n, 0);
    if (count > m_capacity) {
        // The source may lie inside the old buffer: copy it before the buffer goes.
        std::basic_string<BYTE> copy(bytes, static_cast<size_t>(count));
        Reserve(count, 0);
        std::memcpy(m_buffer, copy.data(), copy.size());
    } else if (count > 0) {
        std::memmove(m_buffer, bytes, static_cast<size_t>(count));
    }
    m_length = count;
    m_buffer[m_length] = 0;
}

void CCorString::AssignString(const CCorString& other) {
    if (&other == this) return;
    Assign(other.m_buffer, static_cast<int16_t>(std::min<int32_t>(other.m_length, INT16_MAX)));
}

void CCorString::AssignText(const char* text) {
    const size_t n = text ? BoundedLength(text, kMaxLength) : 0;
    Assign(reinterpret_cast<const BYTE*>(text), static_cast<int16_t>(n));
}

void CCorString::Append(const BYTE* bytes, int16_t n) {
    n = static_cast<int16_t>(std::min<int32_t>(n, kMaxLength - m_length));
    if (n < 1) return;
    std::basic_string<BYTE> copy(bytes, static_cast<size_t>(n));
    if (m_length + n > m_capacity) Reserve(m_length + n, m_length);
    std::memcpy(m_buffer + m_length, copy.data(), copy.size());
    m_length += n;
    m_buffer[m_length] = 0;
}

void CCorString::Insert(const BYTE* bytes, int16_t n, int16_t position) {
    if (n < 1 || position < 0) return;
    if (position >= m_length) {
        Append(bytes, n);
        return;
    }
    std::basic_string<BYTE> joined(m_buffer, static_cast<size_t>(position));
    joined.append(bytes, static_cast<size_t>(n));
    joined.append(m_buffer + position, static_cast<size_t>(m_length - position));
    Assign(joined.data(), static_cast<int16_t>(std::min<size_t>(joined.size(), INT16_MAX)));
}

void CCorString::Delete(int16_t position, int16_t n) {
    if (n < 1 || position < 0 || position >= m_length) return;
    const int32_t count = std::min<int32_t>(n, m_length - position);
    std::memmove(m_buffer + position, m_buffer + position + count,
                 static_cast<size_t>(m_length - position - count));
    m_length -= count;
    m_buffer[m_length] = 0;
}

uint16_t CCorString::Compare(const BYTE* bytes, int16_t n, uint16_t caseSensitive) const {
    const int32_t shorter = std::min<int32_t>(n, m_length);
    const uint16_t tie = n == m_length ? kCompareEqual : kComparePrefix;
    for (int32_t i = 0; i < shorter; ++i) {
        int a = static_cast<int8_t>(m_buffer[i]);
        int b = static_cast<int8_t>(bytes[i]);
        if (a != b && !caseSensitive) {
            if (a >= 'A' && a <= 'Z') a += 32;
            if (b >= 'A' && b <= 'Z') b += 32;
        }
        if (a != b) return b < a ? kCompareAfter : kCompareBefore;
    }
    return tie;
}

uint16_t CCorString::CompareString(const CCorString& other) const {
    return Compare(other.m_buffer, static_cast<int16_t>(std::min<int32_t>(other.m_length, INT16_MAX)), 1);
}

uint16_t CCorString::CompareText(const char* text) const {
    // A text longer than a string can be compares over that length, then counts as longer.
    const size_t n = text ? BoundedLength(text, kMaxLength + 1) : 0;
    const uint16_t r = Compare(reinterpret_cast<const BYTE*>(text),
                               static_cast<int16_t>(std::min<size_t>(n, kMaxLength)), 1);
    return r == kCompareEqual && n > static_cast<size_t>(kMaxLength) ? uint16_t{kComparePrefix} : r;
}

uint16_t CCorString::CompareNoCase(const CCorString& other) const {
    return Compare(other.m_buffer, static_cast<int16_t>(std::min<int32_t>(other.m_length, INT16_MAX)), 0);
}

int16_t CCorStyledString::TallyChar(BYTE c, std::span<const BYTE> bytes, int16_t n) const {
    int16_t count = 0;
    size_t pos = 0;
    for (int i = 0; i < n; ++i) {
        const size_t size = StyledUnitSize(bytes, pos, m_codeRange);
        if (size == 0) break;
        if (size == 1 && bytes[pos] == c) ++count;
        pos += size;
    }
    return count;
}

int16_t CCorStyledString::VisibleLength() const {
    return StyledUnitCount(Span(), m_codeRange);
}
