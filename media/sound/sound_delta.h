// The delta coding of sound blocks: one coded stream decodes to one block of 8-bit unsigned
// samples (128 = silence).
//
// Stream: an 8-byte header {u16 N samples, u16 unused, u8 L samples per delta run, 3 bytes
// unused}, one byte that is the first sample, then codes. Each code byte c:
//   1xxxxxxx  absolute: v = (c * 2) & 0xFF, one sample
//   01nnnnnn  run: v written n times (0 writes nothing)
//   0001kkkk  1-bit run: L/8 bytes, 8 samples each from the top bit: 1 adds step[k][8], 0 subtracts it
//   0010kkkk  2-bit run: L/4 bytes, 4 samples each from the top pair: d adds step[k][6 + d]
//   0000kkkk, 0011kkkk  4-bit run: L/2 bytes, 2 samples each, high nibble first: d adds step[k][d]
// A delta run counts L samples whatever it wrote. Every value is clamped to 0..255.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kSoundDeltaHeaderSize = 8;

// Row k (0-15) holds -8(k+1) .. -(k+1), +(k+1) .. +8(k+1), each clamped to -128..127.
using SoundStepTable = std::array<std::array<int8_t, 16>, 16>;
const SoundStepTable& SoundDeltaSteps();

// Decodes one coded stream into out. Reads nothing past the end of coded and writes nothing past
// the end of out, nor more than the header's N samples; a stream that ends early or declares
// more than out holds just stops there. Returns the number of samples written.
size_t DecodeSoundDelta(std::span<const uint8_t> coded, std::span<uint8_t> out);
