#include "media/res/anim_script.h"

#include "platform/core/byte_order.h"

namespace media {

namespace {

constexpr AnimOpName kNames[] = {
    {"Nop", kAnimNop},
    {"ShowPicture", kAnimShowPicture},
    {"MoveBy", kAnimMoveBy},
    {"Wait", kAnimWait},
    {"PlayNewSound", kAnimPlayNewSound},
    {"PlaySound", kAnimPlaySound},
    {"StopSound", kAnimStopSound},
    {"Restart", kAnimRestart},
    {"MoveTo", kAnimMoveTo},
    {"CallFunction", kAnimCallFunction},
    {"WaitSound", kAnimWaitSound},
    {"Loop", kAnimLoop},
    {"Hold", kAnimHold},
    {"Release", kAnimRelease},
    {"JumpIfSound", kAnimJumpIfSound},
    {"Cue", kAnimCue},
    {"Yield", kAnimYield},
    {"MarkTime", kAnimMarkTime},
    {"WaitSinceMark", kAnimWaitSinceMark},
    {"StepPicture", kAnimStepPicture},
    {"SwapPicture", kAnimSwapPicture},
};

}  // namespace

std::span<const AnimOpName> AnimOpNames() { return kNames; }

std::optional<int16_t> FindAnimOp(std::string_view name) {
    for (const AnimOpName& n : kNames) {
        if (n.name == name) return n.opcode;
    }
    return std::nullopt;
}

void AppendAnimRecord(std::vector<uint8_t>& out, int16_t opcode, uint32_t operand) {
    plat::AppendLe16(out, static_cast<uint16_t>(opcode));
    plat::AppendLe32(out, operand);
}

}  // namespace media
