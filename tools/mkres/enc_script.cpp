// 'ANI' animation scripts: one instruction per line, by opcode name, with its operands as
// the script's author thinks of them; the encoder packs them into 6-byte records {i16 opcode,
// u32 operand} and adds the end record (opcode -1, operand 0). Ids stay module-relative: the
// game resolves them when it appends the script.
//
//   ANI M+20
//     ShowPicture 12       # picture M+12
//     MoveTo 40 80         # picture coordinates
//     Loop 3 3 -3          # N, C, J: the two instructions before it, three times
//     WaitSinceMark 30 -1  # ticks since the mark, then the jump offset
//     PlaySound 990
//   end
#include <string>

#include "media/res/anim_script.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

using namespace media;

enum class Operands {
    None,        // Nop, Restart, Yield, MarkTime
    Id,          // a module-relative picture or sound id, 16-bit signed
    Point,       // x y, 16-bit signed each
    Ticks,       // a count of ticks, 0 and up
    Channel,     // StopSound: 0 the object's, -1 every channel, 1 to 8
    Value,       // Hold, Release, Cue: any 32-bit value
    Offset,      // JumpIfSound, StepPicture: 32-bit signed
    Loop,        // N C J
    TimedBranch  // ticks offset
};

Operands OperandsOf(int16_t op) {
    switch (op) {
    case kAnimShowPicture:
    case kAnimPlayNewSound:
    case kAnimPlaySound:
    case kAnimWaitSound:
    case kAnimSwapPicture:
        return Operands::Id;
    case kAnimMoveBy:
    case kAnimMoveTo:
        return Operands::Point;
    case kAnimWait:
        return Operands::Ticks;
    case kAnimStopSound:
        return Operands::Channel;
    case kAnimHold:
    case kAnimRelease:
    case kAnimCue:
        return Operands::Value;
    case kAnimJumpIfSound:
    case kAnimStepPicture:
        return Operands::Offset;
    case kAnimLoop:
        return Operands::Loop;
    case kAnimWaitSinceMark:
        return Operands::TimedBranch;
    default:
        return Operands::None;
    }
}

size_t OperandCount(Operands kind) {
    switch (kind) {
    case Operands::None:
        return 0;
    case Operands::Point:
    case Operands::TimedBranch:
        return 2;
    case Operands::Loop:
        return 3;
    default:
        return 1;
    }
}

const char* OperandHelp(Operands kind) {
    switch (kind) {
    case Operands::None:
        return "no operand";
    case Operands::Point:
        return "x and y";
    case Operands::TimedBranch:
        return "ticks and a jump offset";
    case Operands::Loop:
        return "N, C and a jump offset J";
    default:
        return "one operand";
    }
}

// The operand of one instruction line; none (with an error) when it does not fit.
std::optional<uint32_t> PackOperand(const SourceLine& line, Operands kind, EncodeContext& ctx) {
    const auto arg = [&](size_t i, int64_t low, int64_t high) { return NumberIn(line, line.tokens[1 + i], low, high, ctx); };
    switch (kind) {
    case Operands::None:
        return 0u;
    case Operands::Id: {
        const auto id = arg(0, -32768, 32767);
        if (!id) return std::nullopt;
        return static_cast<uint32_t>(static_cast<int32_t>(*id));
    }
    case Operands::Point: {
        const auto x = arg(0, -32768, 32767);
        const auto y = x ? arg(1, -32768, 32767) : std::nullopt;
        if (!y) return std::nullopt;
        return PackAnimPoint(static_cast<int16_t>(*x), static_cast<int16_t>(*y));
    }
    case Operands::Ticks: {
        const auto t = arg(0, 0, 0x7FFFFFFF);
        if (!t) return std::nullopt;
        return static_cast<uint32_t>(*t);
    }
    case Operands::Channel: {
        const auto c = arg(0, -1, 8);
        if (!c) return std::nullopt;
        return static_cast<uint32_t>(static_cast<int32_t>(*c));
    }
    case Operands::Value: {
        const auto v = arg(0, -0x80000000LL, 0xFFFFFFFFLL);
        if (!v) return std::nullopt;
        return static_cast<uint32_t>(*v);
    }
    case Operands::Offset: {
        const auto v = arg(0, -0x80000000LL, 0x7FFFFFFF);
        if (!v) return std::nullopt;
        return static_cast<uint32_t>(static_cast<int32_t>(*v));
    }
    case Operands::Loop: {
        const auto n = arg(0, 0, 4095);
        const auto c = n ? arg(1, 0, 4095) : std::nullopt;
        const auto j = c ? arg(2, -128, 127) : std::nullopt;
        if (!j) return std::nullopt;
        return PackAnimLoop(static_cast<uint32_t>(*n), static_cast<uint32_t>(*c), static_cast<int8_t>(*j));
    }
    case Operands::TimedBranch: {
        const auto t = arg(0, -32768, 32767);
        const auto j = t ? arg(1, -32768, 32767) : std::nullopt;
        if (!j) return std::nullopt;
        return PackAnimTimedBranch(static_cast<int16_t>(*t), static_cast<int16_t>(*j));
    }
    }
    return std::nullopt;
}

}  // namespace

bool EncodeScript(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        if (line.tokens.empty()) continue;
        const Token& name = line.tokens[0];
        const auto op = name.kind == Token::Kind::Word ? FindAnimOp(name.text) : std::nullopt;
        if (!op) {
            ctx.Error(line.where, "no script instruction named " + name.text);
            return false;
        }
        if (*op == kAnimCallFunction) {
            ctx.Error(line.where, "CallFunction names a function of the program; only code appends it");
            return false;
        }
        const Operands kind = OperandsOf(*op);
        if (line.tokens.size() != 1 + OperandCount(kind)) {
            ctx.Error(line.where, name.text + " takes " + OperandHelp(kind));
            return false;
        }
        const auto operand = PackOperand(line, kind, ctx);
        if (!operand) return false;
        AppendAnimRecord(out, *op, *operand);
    }
    AppendAnimRecord(out, kAnimEmpty, 0);
    return true;
}

}  // namespace mkres
