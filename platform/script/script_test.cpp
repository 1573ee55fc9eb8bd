#include "platform/script/script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/crt.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

using plat::InputEvent;
using plat::InputKind;
using plat::MouseButton;
using plat::ScriptItem;

struct Timed {
    uint64_t at;
    InputEvent ev;
};

InputEvent Mouse(InputKind kind, int x, int y, MouseButton button = MouseButton::Left) {
    InputEvent ev;
    ev.kind = kind;
    ev.x = x;
    ev.y = y;
    ev.button = button;
    return ev;
}

InputEvent Key(InputKind kind, int vk, bool extended = false, bool repeat = false, uint8_t ch = 0) {
    InputEvent ev;
    ev.kind = kind;
    ev.vk = vk;
    ev.extended = extended;
    ev.repeat = repeat;
    ev.ch = ch;
    return ev;
}

InputEvent Of(InputKind kind, uint8_t ch = 0) {
    InputEvent ev;
    ev.kind = kind;
    ev.ch = ch;
    return ev;
}

void ExpectSame(const InputEvent& got, const InputEvent& want) {
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.button, want.button);
    EXPECT_EQ(got.vk, want.vk);
    EXPECT_EQ(got.repeat, want.repeat);
    EXPECT_EQ(got.extended, want.extended);
    EXPECT_EQ(got.ch, want.ch);
}

// Everything a back end delivers, each field that can differ between two events of a kind.
const std::vector<Timed> kDelivered = {
    {0, Mouse(InputKind::MouseMove, 0, 0)},
    {17, Mouse(InputKind::MouseMove, 639, 479)},
    {17, Mouse(InputKind::MouseDown, 320, 240)},
    {40, Mouse(InputKind::MouseUp, 320, 241)},
    {41, Mouse(InputKind::MouseDown, 5, 6, MouseButton::Right)},
    {42, Mouse(InputKind::MouseUp, 5, 6, MouseButton::Middle)},
    // The cursor block and the right-hand Ctrl come flagged extended; the same virtual keys
    // from the keypad and the left Ctrl do not.
    {100, Key(InputKind::KeyDown, VK_LEFT, true)},
    {101, Key(InputKind::KeyUp, VK_LEFT, true)},
    {102, Key(InputKind::KeyDown, VK_LEFT)},
    {103, Key(InputKind::KeyDown, VK_DELETE, true)},
    {104, Key(InputKind::KeyDown, VK_CONTROL, true)},
    {105, Key(InputKind::KeyUp, VK_CONTROL)},
    // A letter's key types nothing itself (its character follows); a held key repeats.
    {200, Key(InputKind::KeyDown, 'A')},
    {230, Key(InputKind::KeyDown, 'A', false, true)},
    {231, Of(InputKind::Char, 'a')},
    {232, Key(InputKind::KeyUp, 'A')},
    {240, Key(InputKind::KeyDown, VK_RETURN, false, false, '\r')},
    {241, Key(InputKind::KeyDown, 'C', false, false, 3)},  // Ctrl+C
    {250, Key(InputKind::KeyDown, VK_OEM_6)},
    {253, Of(InputKind::Char, 0xE5)},  // å
    {254, Of(InputKind::Char, 0x80)},  // €
    {260, Key(InputKind::KeyDown, VK_F12)},
    {261, Key(InputKind::KeyDown, VK_NUMPAD0 + 5)},
    {262, Key(InputKind::KeyDown, 7)},  // a code without a name, not the digit 7
    {263, Key(InputKind::KeyDown, '7')},
    {300, Of(InputKind::FocusLost)},
    {301, Of(InputKind::FocusGained)},
    {5000000000ull, Of(InputKind::Close)},  // past 32 bits of milliseconds
};

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("zelbo_recording_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    }
    void TearDown() override { std::filesystem::remove(path); }
    std::filesystem::path path;
};

// A recording read back gives every event with every field and its time, and the seed.
TEST_F(Recording, ReadsBackAsTheSameEventsAtTheSameTimes) {
    {
        plat::ScriptRecorder rec;
        std::string err;
        ASSERT_TRUE(rec.Open(path.string(), &err)) << err;
        rec.RecordSeed(0, 54321);
        for (const Timed& t : kDelivered) rec.Record(t.at, t.ev);
    }
    std::vector<ScriptItem> items;
    std::string err;
    ASSERT_TRUE(plat::ParseScript(ReadFile(path), 0, &items, &err)) << err;
    ASSERT_EQ(items.size(), kDelivered.size() + 1);
    EXPECT_EQ(items[0].kind, ScriptItem::Kind::Seed);
    EXPECT_EQ(items[0].seed, 54321u);
    for (size_t i = 0; i < kDelivered.size(); ++i) {
        SCOPED_TRACE(plat::ScriptLineOf(kDelivered[i].at, kDelivered[i].ev));
        const ScriptItem& item = items[i + 1];
        EXPECT_EQ(item.kind, ScriptItem::Kind::Input);
        EXPECT_EQ(item.atMs, kDelivered[i].at);
        ExpectSame(item.input, kDelivered[i].ev);
    }
}

// Replayed headless, the program takes each recorded event at its recorded time, in the
// recorded order, as it was delivered (no character added to a key, no key to a character).
TEST(Replay, DeliversTheRecordedEventsAtTheirTimes) {
    std::string text;
    for (const Timed& t : kDelivered)
        if (t.at < 1000) text += plat::ScriptLineOf(t.at, t.ev) + "\n";
    auto& head = plat::InstallHeadless();
    std::string err;
    ASSERT_TRUE(head.LoadScript(text, "", &err)) << err;
    size_t next = 0;
    while (head.NowMs() < 1000) {
        head.WaitUntil(1000);
        InputEvent ev;
        while (head.PollInput(ev)) {
            ASSERT_LT(next, kDelivered.size());
            SCOPED_TRACE(plat::ScriptLineOf(kDelivered[next].at, kDelivered[next].ev));
            EXPECT_EQ(head.NowMs(), kDelivered[next].at);
            ExpectSame(ev, kDelivered[next].ev);
            ++next;
        }
    }
    EXPECT_EQ(next, kDelivered.size() - 1);  // all but the close, which comes later
    plat::ResetWindowing();
}

TEST(ScriptSeed, RoundTripsAndIsWhatStartupSeedAnswers) {
    for (uint32_t seed : {0u, 4711u, 0x8000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        std::vector<ScriptItem> items;
        std::string err;
        ASSERT_TRUE(plat::ParseScript(plat::SeedLineOf(12, seed), 0, &items, &err)) << err;
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].kind, ScriptItem::Kind::Seed);
        EXPECT_EQ(items[0].seed, seed);

        auto& head = plat::InstallHeadless();
        head.Advance(777);
        ASSERT_TRUE(head.LoadScript("# recorded\n" + plat::SeedLineOf(0, seed) + "\n", "", &err)) << err;
        EXPECT_EQ(plat::StartupSeed(), seed);
    }
    // Without a seed line the clock seeds, as read at that moment.
    auto& head = plat::InstallHeadless();
    head.Advance(31337);
    const uint32_t seed = plat::StartupSeed();
    EXPECT_GE(seed, 31337u);
    EXPECT_LE(seed, 31337u + 2);
    plat::ResetWindowing();
}

TEST(ScriptLines, MalformedLinesAreRefusedWithTheirNumberAndNothingIsTaken) {
    const char* bad[] = {
        "vkdown",           "vkdown NOPE",     "vkdown A sideways", "vkdown A char",    "vkdown A char 0",
        "vkdown A char 256", "vkup 0x100",     "char",             "char 0",           "char 256",
        "char 65 66",       "focus",           "focus up",         "seed",             "seed -1",
        "seed 4294967296",  "seed x",          "click 1 2 sideways", "move 1",         "key CTRL+",
        "screenshot",       "answer MAYBE",    "dance 1 2",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        std::vector<ScriptItem> items;
        std::string err;
        EXPECT_FALSE(plat::ParseScript(std::string("10 move 1 2\n# fine so far\n20 ") + line + "\n", 0, &items, &err));
        EXPECT_NE(err.find("script line 3"), std::string::npos) << err;
        EXPECT_TRUE(items.empty());
    }
    std::vector<ScriptItem> items;
    std::string err;
    // Relative times that would pass the largest time.
    EXPECT_FALSE(plat::ParseScript(
        "9223372036854775807 move 1 2\n+9223372036854775807 move 1 2\n+9223372036854775807 move 1 2\n", 0, &items,
        &err));
    EXPECT_NE(err.find("script line 3"), std::string::npos) << err;
}

}  // namespace
