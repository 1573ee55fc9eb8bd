// The transitions' steps in virtual time: how many, how wide, when; a step that falls behind
// widens the later ones; the untimed pushes never wait.
#include "engine/core/transitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

struct Op {
    uint64_t ms;  // virtual time since the transition began
    bool shift;
    int dx;
    POINT dst;
    RECT src;
};

// Records every copy and shift with its virtual time. The copy numbered stallAfter (from 0)
// takes stallMs of virtual time, as a slow screen would.
class CRecordingCanvas : public ITransitionCanvas {
public:
    explicit CRecordingCanvas(size_t stallAfter = SIZE_MAX, DWORD stallMs = 0)
        : m_start(plat::NowMs64()), m_stallAfter(stallAfter), m_stallMs(stallMs) {}
    void Copy(POINT dst, const RECT& src) override {
        ops.push_back(Op{plat::NowMs64() - m_start, false, 0, dst, src});
        if (m_copies++ == m_stallAfter) Sleep(m_stallMs);
    }
    void Shift(int dx) override { ops.push_back(Op{plat::NowMs64() - m_start, true, dx, {}, {}}); }
    // The copies grouped by the time they were made: one group per step.
    std::map<uint64_t, std::vector<RECT>> Steps() const {
        std::map<uint64_t, std::vector<RECT>> steps;
        for (const Op& op : ops)
            if (!op.shift) steps[op.ms].push_back(op.src);
        return steps;
    }
    std::vector<Op> ops;

private:
    uint64_t m_start;
    size_t m_copies = 0;
    size_t m_stallAfter;
    DWORD m_stallMs;
};

class TransitionTest : public ::testing::Test {
protected:
    // The clock moves only when something sleeps, so the times below are the schedule's own.
    void SetUp() override { plat::InstallHeadless().SetQueryStep(0); }
};

int WidthOf(const RECT& r) { return r.right - r.left; }
int HeightOf(const RECT& r) { return r.bottom - r.top; }

// Wipes and pushes on 640 x 480: 8-pixel strips 12 ms apart. With the 10th strip's copy taking
// 20 ms, the 11th comes due during it and runs at once; the strips after it are 10 wide.
struct StripCase {
    const char* name;
    int kind;
    size_t stallAfter;  // the copy that takes 20 ms
    int strips;        // how many
    int narrow;        // how many are 8 wide before the later ones are 10 wide
    int lastWidth;
    uint64_t lastMs;
};

class StripTransitions : public TransitionTest, public ::testing::WithParamInterface<StripCase> {};

TEST_P(StripTransitions, StripCountsWidthsAndTimes) {
    const StripCase& c = GetParam();
    CRecordingCanvas canvas(c.stallAfter, 20);
    RunTransition(canvas, c.kind, 640, 480);
    std::vector<Op> copies, shifts;
    for (const Op& op : canvas.ops) (op.shift ? shifts : copies).push_back(op);
    ASSERT_EQ(static_cast<int>(copies.size()), c.strips);
    int covered = 0;
    for (int i = 0; i < c.strips; ++i) {
        SCOPED_TRACE("strip " + std::to_string(i));
        const Op& op = copies[static_cast<size_t>(i)];
        const int expected = i == c.strips - 1 ? c.lastWidth : i < c.narrow ? 8 : 10;
        EXPECT_EQ(WidthOf(op.src), expected);
        EXPECT_EQ(HeightOf(op.src), 480);
        if (c.stallAfter == SIZE_MAX) {
            EXPECT_EQ(op.ms, 12u * static_cast<uint64_t>(i));
        }
        // Where the strip comes from and where it goes.
        const int w = WidthOf(op.src);
        switch (c.kind) {
            case 2:  // wipe from the left: in place, left to right
                EXPECT_EQ(op.src.left, covered);
                EXPECT_EQ(op.dst.x, covered);
                break;
            case 9:  // push from the left: the screen moves right, the frame's right part first
                EXPECT_EQ(shifts[static_cast<size_t>(i)].dx, w);
                EXPECT_EQ(op.src.right, 640 - covered);
                EXPECT_EQ(op.dst.x, 0);
                break;
            case 10:  // push from the right: the screen moves left, the frame's left part first
                EXPECT_EQ(shifts[static_cast<size_t>(i)].dx, -w);
                EXPECT_EQ(op.src.left, covered);
                EXPECT_EQ(op.dst.x, 640 - w);
                break;
        }
        covered += w;
    }
    EXPECT_EQ(covered, 640);
    EXPECT_EQ(copies.back().ms, c.lastMs);
    if (c.kind == 2) {
        EXPECT_TRUE(shifts.empty());
    } else {
        EXPECT_EQ(shifts.size(), copies.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StripTransitions,
    ::testing::Values(StripCase{"WipeOnTime", 2, SIZE_MAX, 80, 80, 8, 948},
                      // 11 strips of 8 (88), 55 of 10 (550), then the last 2 columns; the
                      // schedule stays 12 ms a strip from the start: strip 66 is due at 792.
                      StripCase{"WipeBehind", 2, 9, 67, 11, 2, 792},
                      StripCase{"PushFromTheLeftOnTime", 9, SIZE_MAX, 80, 80, 8, 948},
                      StripCase{"PushFromTheLeftBehind", 9, 9, 67, 11, 2, 792},
                      StripCase{"PushFromTheRightOnTime", 10, SIZE_MAX, 80, 80, 8, 948}),
    [](const ::testing::TestParamInfo<StripCase>& info) { return info.param.name; });

// The boxes on 640 x 480: steps of 26 by 19 pixels every 20 ms. Opening: the centred box at
// (306, 229), then steps until the top strip reaches the top edge (13 steps); closing: the
// four edge strips until they meet (12 steps). A step that falls behind makes the later ones
// 2 pixels wider and taller, so fewer steps are needed.
struct BoxCase {
    const char* name;
    int kind;
    size_t stallAfter;  // the copy that takes 30 ms
    int steps;      // steps of four strips (the opening's centred box not counted)
    int slowSteps;  // how many of them are 26 x 19 before the later ones are 28 x 21
};

class BoxTransitions : public TransitionTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(BoxTransitions, StepCountsSizesAndTheFinalCopy) {
    const BoxCase& c = GetParam();
    CRecordingCanvas canvas(c.stallAfter, 30);
    RunTransition(canvas, c.kind, 640, 480);
    std::map<uint64_t, std::vector<RECT>> steps = canvas.Steps();
    std::vector<std::vector<RECT>> groups;
    for (auto& [ms, rects] : steps) groups.push_back(rects);
    const bool opening = c.kind != 8;
    if (opening) {
        ASSERT_FALSE(groups.empty());
        ASSERT_EQ(groups.front().size(), 1u);
        EXPECT_EQ(groups.front()[0].left, 306);
        EXPECT_EQ(groups.front()[0].top, 229);
        EXPECT_EQ(WidthOf(groups.front()[0]), 26);
        EXPECT_EQ(HeightOf(groups.front()[0]), 19);
        groups.erase(groups.begin());
    }
    ASSERT_EQ(static_cast<int>(groups.size()), c.steps);
    // The last step ends with the whole frame.
    const RECT whole = groups.back().back();
    EXPECT_EQ(whole.left, 0);
    EXPECT_EQ(whole.top, 0);
    EXPECT_EQ(whole.right, 640);
    EXPECT_EQ(whole.bottom, 480);
    groups.back().pop_back();
    int edge = opening ? 229 : 0;  // the top strip's moving edge
    for (int i = 0; i < c.steps; ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const std::vector<RECT>& strips = groups[static_cast<size_t>(i)];
        const int dx = i < c.slowSteps ? 26 : 28, dy = i < c.slowSteps ? 19 : 21;
        ASSERT_GE(strips.size(), 2u);
        const RECT top = strips[0];
        if (opening) {
            // The top strip lies above the box, dy high (the last cut at the top edge).
            EXPECT_EQ(top.bottom, edge);
            EXPECT_EQ(top.top, std::max(edge - dy, 0));
            edge -= dy;
            if (strips.size() == 4) {
                EXPECT_EQ(WidthOf(strips[2]), std::min(dx, strips[2].right));
            }
        } else {
            ASSERT_EQ(strips.size(), 4u);
            EXPECT_EQ(top.top, edge);
            EXPECT_EQ(HeightOf(top), dy);
            EXPECT_EQ(WidthOf(strips[2]), dx);
            edge += dy;
        }
    }
    if (opening) {
        EXPECT_LE(edge, 0) << "the opening stops once its top strip reached the top edge";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BoxTransitions,
    ::testing::Values(BoxCase{"OpeningOnTime", 1, SIZE_MAX, 13, 13},
                      BoxCase{"OpeningSevenOnTime", 7, SIZE_MAX, 13, 13},
                      // The last copy of step 5 (copy 21, after the centred box) takes 30 ms:
                      // step 6 runs behind, the later steps are 28 x 21.
                      BoxCase{"OpeningBehind", 1, 20, 12, 6},
                      BoxCase{"ClosingOnTime", 8, SIZE_MAX, 12, 12},
                      // The last copy of step 4 (copy 16) takes 30 ms: step 5 runs behind.
                      BoxCase{"ClosingBehind", 8, 15, 11, 5}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return info.param.name; });

// The untimed pushes run their 2-pixel columns without waiting: 319 columns bring in all but
// the last 2 of 640 (the caller's final copy shows those), in no virtual time at all.
TEST_F(TransitionTest, UntimedPushesNeverWait) {
    for (int kind : {-2, -1}) {
        SCOPED_TRACE(kind);
        CRecordingCanvas canvas;
        const uint64_t start = plat::NowMs64();
        RunTransition(canvas, kind, 640, 480);
        EXPECT_EQ(plat::NowMs64(), start);
        int copies = 0, shifted = 0;
        for (const Op& op : canvas.ops) {
            if (op.shift) {
                EXPECT_EQ(op.dx, kind == -2 ? -2 : 2);
                shifted += 2;
            } else {
                EXPECT_EQ(WidthOf(op.src), 2);
                EXPECT_EQ(op.dst.x, kind == -2 ? 638 : 0);
                ++copies;
            }
        }
        EXPECT_EQ(copies, 319);
        EXPECT_EQ(shifted, 638);
    }
}

// The kinds without steps of their own draw nothing; so does a box on a surface too small for
// a 24th of a side, which still ends.
TEST_F(TransitionTest, KindsWithoutStepsDrawNothingAndSmallSurfacesEnd) {
    for (int kind : {0, 4, 5, 6, 11, -3, 55}) {
        CRecordingCanvas canvas;
        RunTransition(canvas, kind, 640, 480);
        EXPECT_TRUE(canvas.ops.empty()) << kind;
    }
    for (int kind : {1, 8, 9}) {
        CRecordingCanvas canvas;
        RunTransition(canvas, kind, 10, 6);
        EXPECT_FALSE(canvas.ops.empty()) << kind;
        for (const Op& op : canvas.ops) {
            if (op.shift) continue;
            EXPECT_GE(op.src.left, 0);
            EXPECT_GE(op.src.top, 0);
            EXPECT_LE(op.src.right, 10);
            EXPECT_LE(op.src.bottom, 6);
        }
    }
}

}  // namespace
