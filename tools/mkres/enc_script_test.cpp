// 'ANI' scripts built by mkres and read back through the game's resource reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/anim_script.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/mkres_test_support.h"

namespace {

using namespace media;

struct Record {
    int16_t opcode;
    uint32_t operand;
    bool operator==(const Record&) const = default;
};

std::vector<Record> ScriptOf(const mkrestest::Built& b, uint32_t id) {
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("A.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    EXPECT_TRUE(mgr.Open("A.RES"));
    const auto bytes = restest::ReadWhole(mgr, mgr.FindEntry(kResANI, id));
    EXPECT_EQ(bytes.size() % kAnimRecordSize, 0u);
    std::vector<Record> records;
    for (size_t at = 0; at + kAnimRecordSize <= bytes.size(); at += kAnimRecordSize)
        records.push_back({plat::GetLeI16(bytes, at), plat::GetLe32(bytes, at + 2)});
    return records;
}

std::string Errors(const mkres::Diagnostics& diag) {
    std::string all;
    for (const auto& e : diag.Errors()) all += e + "\n";
    return all;
}

// Every instruction with its operands packed as the runner reads them, and the end record.
TEST(ScriptEncoder, EveryInstructionPacksItsOperands) {
    const mkrestest::Built b = mkrestest::Build(R"(module 3
ANI M+20
  Nop
  ShowPicture 12
  MoveBy 3 -2
  Wait 10
  PlayNewSound -990
  PlaySound 990
  StopSound -1
  Restart
  MoveTo 40 80
  WaitSound 0
  Loop 3 3 -3
  Hold 7
  Release 0xFFFFFFFF
  JumpIfSound -2
  Cue -5
  Yield
  MarkTime
  WaitSinceMark 30 -1
  StepPicture -1
  SwapPicture 3012
end
ANI M+21
end
)",
                                                "ani.mkres");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    const std::vector<Record> expected = {
        {kAnimNop, 0},
        {kAnimShowPicture, 12},
        {kAnimMoveBy, 0xFFFE0003},
        {kAnimWait, 10},
        {kAnimPlayNewSound, static_cast<uint32_t>(-990)},
        {kAnimPlaySound, 990},
        {kAnimStopSound, 0xFFFFFFFF},
        {kAnimRestart, 0},
        {kAnimMoveTo, (80u << 16) | 40u},
        {kAnimWaitSound, 0},
        {kAnimLoop, 0xFD003003},
        {kAnimHold, 7},
        {kAnimRelease, 0xFFFFFFFF},
        {kAnimJumpIfSound, static_cast<uint32_t>(-2)},
        {kAnimCue, static_cast<uint32_t>(-5)},
        {kAnimYield, 0},
        {kAnimMarkTime, 0},
        {kAnimWaitSinceMark, 0xFFFF001E},
        {kAnimStepPicture, 0xFFFFFFFF},
        {kAnimSwapPicture, 3012},
        {kAnimEmpty, 0},
    };
    EXPECT_EQ(ScriptOf(b, 3020), expected);
    // An empty script is the end record alone.
    EXPECT_EQ(ScriptOf(b, 3021), (std::vector<Record>{{kAnimEmpty, 0}}));

    // The packed fields read back through the runner's accessors.
    EXPECT_EQ(AnimLoopN(0xFD003003), 3u);
    EXPECT_EQ(AnimLoopC(0xFD003003), 3u);
    EXPECT_EQ(AnimLoopJump(0xFD003003), -3);
    EXPECT_EQ(AnimLow(0xFFFE0003), 3);
    EXPECT_EQ(AnimHigh(0xFFFE0003), -2);
}

TEST(ScriptEncoder, FaultsAreReportedWithTheirLine) {
    const struct {
        const char* body;
        const char* message;
    } cases[] = {
        {"  Jump 3", "no script instruction named Jump"},
        {"  \"Wait\" 3", "no script instruction named Wait"},
        {"  CallFunction 0x401000", "only code appends it"},
        {"  Wait", "Wait takes one operand"},
        {"  Nop 1", "Nop takes no operand"},
        {"  MoveTo 40", "MoveTo takes x and y"},
        {"  Loop 3 3", "Loop takes N, C and a jump offset J"},
        {"  Loop 4096 0 -1", "outside 0 to 4095"},
        {"  Loop 3 3 -129", "outside -128 to 127"},
        {"  Wait -1", "outside 0 to"},
        {"  ShowPicture 40000", "outside -32768 to 32767"},
        {"  StopSound 9", "outside -1 to 8"},
        {"  MoveBy x 2", "expected a number, not x"},
    };
    for (const auto& c : cases) {
        const std::string source = std::string("module 3\nANI M+1\n  Nop\n") + c.body + "\nend\n";
        const mkrestest::Built b = mkrestest::Build(source, "ani.mkres");
        EXPECT_FALSE(b.ok) << c.body;
        const std::string all = Errors(b.diag);
        EXPECT_NE(all.find("ani.mkres:4: "), std::string::npos) << c.body << "\n" << all;
        EXPECT_NE(all.find(c.message), std::string::npos) << c.body << "\n" << all;
    }
}

TEST(ScriptEncoder, IsTheDefaultForAni) {
    EXPECT_STREQ(mkres::DefaultEncoder("ANI")->name, "script");
    // Every opcode name is found, and the names are the runner's opcodes.
    for (const AnimOpName& n : AnimOpNames()) EXPECT_EQ(FindAnimOp(n.name), n.opcode) << n.name;
    EXPECT_EQ(FindAnimOp("WaitSinceMark"), kAnimWaitSinceMark);
    EXPECT_FALSE(FindAnimOp("wait"));
}

}  // namespace
