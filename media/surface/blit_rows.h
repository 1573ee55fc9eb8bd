// The inner loops of the surface copies: one row of bytes, opaque, transparent (source 0 left
// out) or through a colour map. The word version of the transparent copy handles any length
// and alignment; the byte version is the reference it must agree with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace media {

inline void CopyRowOpaque(uint8_t* dst, const uint8_t* src, size_t n) {
    std::memcpy(dst, src, n);
}

inline void CopyRowTransparentBytes(uint8_t* dst, const uint8_t* src, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (src[i]) dst[i] = src[i];
}

// Eight bytes at a time: a group of zeros is skipped, a group without zeros is stored whole,
// a mixed one is merged under a mask of its non-zero bytes.
inline void CopyRowTransparentWords(uint8_t* dst, const uint8_t* src, size_t n) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t s;
        std::memcpy(&s, src + i, 8);
        if (s == 0) continue;
        // The high bit of each byte set exactly when that byte is non-zero.
        const uint64_t nonZero = (((s & kLow7) + kLow7) | s) & kHigh;
        if (nonZero == kHigh) {
            std::memcpy(dst + i, &s, 8);
            continue;
        }
        const uint64_t mask = (nonZero >> 7) * 0xFF;
        uint64_t d;
        std::memcpy(&d, dst + i, 8);
        d = (d & ~mask) | (s & mask);
        std::memcpy(dst + i, &d, 8);
    }
    CopyRowTransparentBytes(dst + i, src + i, n - i);
}

inline void CopyRowMapped(uint8_t* dst, const uint8_t* src, size_t n, const uint8_t* map, bool transparent) {
    if (transparent) {
        for (size_t i = 0; i < n; ++i)
            if (src[i]) dst[i] = map[src[i]];
    } else {
        for (size_t i = 0; i < n; ++i) dst[i] = map[src[i]];
    }
}

}  // namespace media
