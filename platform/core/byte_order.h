// Little-endian numbers in files, the one place they are read and written. Every access is
// checked against the span it is given: a read past the end answers 0 (LeReader also
// remembers it), a write past the end writes nothing and answers false. Type codes of three
// or four letters are packed here too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace plat {

constexpr bool InSpan(size_t size, size_t at, size_t length) {
    return at <= size && length <= size - at;
}

constexpr uint16_t GetLe16(std::span<const uint8_t> b, size_t at) {
    if (!InSpan(b.size(), at, 2)) return 0;
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

constexpr uint32_t GetLe32(std::span<const uint8_t> b, size_t at) {
    if (!InSpan(b.size(), at, 4)) return 0;
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

constexpr uint64_t GetLe64(std::span<const uint8_t> b, size_t at) {
    if (!InSpan(b.size(), at, 8)) return 0;
    return static_cast<uint64_t>(GetLe32(b, at)) | static_cast<uint64_t>(GetLe32(b, at + 4)) << 32;
}

constexpr int16_t GetLeI16(std::span<const uint8_t> b, size_t at) {
    return static_cast<int16_t>(GetLe16(b, at));
}

constexpr int32_t GetLeI32(std::span<const uint8_t> b, size_t at) {
    return static_cast<int32_t>(GetLe32(b, at));
}

constexpr bool SetLe16(std::span<uint8_t> b, size_t at, uint16_t v) {
    if (!InSpan(b.size(), at, 2)) return false;
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
    return true;
}

constexpr bool SetLe32(std::span<uint8_t> b, size_t at, uint32_t v) {
    if (!InSpan(b.size(), at, 4)) return false;
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return true;
}

inline void AppendLe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
    AppendLe16(out, static_cast<uint16_t>(v));
    AppendLe16(out, static_cast<uint16_t>(v >> 16));
}

// For files written in the other byte order.
constexpr uint16_t ByteSwap16(uint16_t v) {
    return static_cast<uint16_t>(v >> 8 | v << 8);
}

constexpr uint32_t ByteSwap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// Reads fields at offsets of one block of bytes. A read that does not fit answers 0 and
// clears ok(), so a parser can read a whole header and check once.
class LeReader {
public:
    constexpr explicit LeReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    constexpr size_t Size() const { return m_bytes.size(); }
    constexpr bool Has(uint64_t at, uint64_t length) const {
        return at <= m_bytes.size() && length <= m_bytes.size() - at;
    }
    constexpr bool ok() const { return m_ok; }

    constexpr uint8_t U8(uint64_t at) { return Has(at, 1) ? m_bytes[static_cast<size_t>(at)] : Fail(); }
    constexpr uint16_t U16(uint64_t at) { return Has(at, 2) ? GetLe16(m_bytes, static_cast<size_t>(at)) : Fail(); }
    constexpr uint32_t U32(uint64_t at) { return Has(at, 4) ? GetLe32(m_bytes, static_cast<size_t>(at)) : Fail(); }

private:
    constexpr uint8_t Fail() {
        m_ok = false;
        return 0;
    }
    std::span<const uint8_t> m_bytes;
    bool m_ok = true;
};

// A type code as a number: its letters packed with the first in the highest byte used
// ("SPR" is 0x00535052, "slot" is 0x736C6F74). Only the first four letters count.
constexpr uint32_t PackTypeCode(std::string_view code) {
    uint32_t value = 0;
    for (size_t i = 0; i < code.size() && i < 4; ++i) value = value << 8 | static_cast<uint8_t>(code[i]);
    return value;
}

}  // namespace plat
