// Animation scripts as module resource files hold them ('ANI' items): 6-byte little-endian
// records {i16 opcode, u32 operand}, ended by a record of opcode -1. The engine's script
// runner (engine/scene) reads them; tools/mkres writes them. The opcodes, their names as the
// resource sources spell them, and the packed operand forms live here once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace media {

enum AnimOp : int16_t {
    kAnimEmpty = -1,  // a new, empty instruction; also the end record of an 'ANI' item
    kAnimNop = 0,
    kAnimShowPicture = 1,
    kAnimMoveBy = 2,
    kAnimWait = 3,
    kAnimPlayNewSound = 4,
    kAnimPlaySound = 5,
    kAnimStopSound = 6,
    kAnimRestart = 7,
    kAnimMoveTo = 8,
    kAnimCallFunction = 10,
    kAnimWaitSound = 11,
    kAnimLoop = 12,
    kAnimHold = 13,
    kAnimRelease = 14,
    kAnimJumpIfSound = 15,
    kAnimCue = 16,
    kAnimYield = 17,
    kAnimMarkTime = 18,
    kAnimWaitSinceMark = 19,
    kAnimStepPicture = 20,
    kAnimSwapPicture = 21,
};

inline constexpr size_t kAnimRecordSize = 6;

struct AnimOpName {
    std::string_view name;
    int16_t opcode;
};
// Every named opcode, in opcode order.
std::span<const AnimOpName> AnimOpNames();
std::optional<int16_t> FindAnimOp(std::string_view name);

// Packed operands. A point: x in the low half, y in the high half.
constexpr uint32_t PackAnimPoint(int16_t x, int16_t y) {
    return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}
constexpr int16_t AnimLow(uint32_t operand) { return static_cast<int16_t>(operand & 0xFFFF); }
constexpr int16_t AnimHigh(uint32_t operand) { return static_cast<int16_t>(operand >> 16); }

// A loop: bits 0-11 the reload value N, bits 12-23 the repeats left C, bits 24-31 the signed
// jump offset J.
constexpr uint32_t PackAnimLoop(uint32_t n, uint32_t c, int8_t j) {
    return (n & 0xFFF) | ((c & 0xFFF) << 12) | (static_cast<uint32_t>(static_cast<uint8_t>(j)) << 24);
}
constexpr uint32_t AnimLoopN(uint32_t operand) { return operand & 0xFFF; }
constexpr uint32_t AnimLoopC(uint32_t operand) { return (operand >> 12) & 0xFFF; }
constexpr int8_t AnimLoopJump(uint32_t operand) { return static_cast<int8_t>(operand >> 24); }

// A timed branch: the low half a signed number of ticks, the high half a signed jump offset.
constexpr uint32_t PackAnimTimedBranch(int16_t ticks, int16_t offset) { return PackAnimPoint(ticks, offset); }

// Appends one record.
void AppendAnimRecord(std::vector<uint8_t>& out, int16_t opcode, uint32_t operand);

}  // namespace media
