#include "engine/toolbox/statics_scanning.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/zelbo_title.h"
#include "engine/scene/scan_target.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "platform/headless/headless_backend.h"

namespace {

std::vector<int32_t>* g_notified = nullptr;
void RecordNotify(int32_t kind) { g_notified->push_back(kind); }

// A title of its own (theEngine while it lives) with a current module whose Notify is
// recorded, and module 3's pictures behind the resource host.
class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        g_notified = &notified;
        table.Notify = RecordNotify;
        title.m_moduleTable = &table;
        title.m_currentModule = 3;
        res.module = 3;
        media::CResWriter writer;
        writer.Add("SPR", 1, itemtest::Spr(2, {{5, 5}, {5, 5}}));
        writer.Add("SPR", 3012, itemtest::Spr(4, std::vector<itemtest::Bytes>(4, itemtest::Bytes(4, 12))));
        ASSERT_TRUE(res.OpenModule(0, writer));
        ASSERT_TRUE(res.OpenModule(3, writer));
    }
    void TearDown() override { g_notified = nullptr; }

    CZelboTitle title;
    ModuleFunctionTable table{};
    std::vector<int32_t> notified;
    itemtest::CTestHost res;
};

// Blocking switches scanning off (and tells the module) only when it was on; allowing brings
// it back only when the block took it off. A second block keeps the first record.
TEST_F(ToolboxTest, ToggleScanTable) {
    const struct {
        const char* name;
        bool onBefore;
        std::vector<int16_t> flags;
        bool onAfter;
        std::vector<int32_t> notifications;
    } cases[] = {
        {"block while on", true, {0}, false, {3}},
        {"block then allow", true, {0, 1}, true, {3, 2}},
        {"block while off, allow", false, {0, 1}, false, {}},
        {"block twice, allow", true, {0, 0, 1}, true, {3, 2}},
        {"allow without a block", true, {1}, true, {}},
        {"allow without a block, off", false, {1, 1}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        notified.clear();
        title.m_scanner.Enable(c.onBefore);
        title.m_scanToggleLock = 0;
        title.m_scanWasOn = 0;
        for (const int16_t flag : c.flags) ToggleScan(flag);
        EXPECT_EQ(IsScanOn() != 0, c.onAfter);
        EXPECT_EQ(notified, c.notifications);
        EXPECT_EQ(title.m_scanToggleLock, c.flags.back() == 0 ? 1 : 0);
        title.m_scanner.Enable(FALSE);
    }
    // A module without Notify is not called.
    table.Notify = nullptr;
    title.m_scanner.Enable(TRUE);
    ToggleScan(0);
    ToggleScan(1);
    EXPECT_TRUE(IsScanOn());
    title.m_scanner.Enable(FALSE);
}

TEST_F(ToolboxTest, ScanSpritesAndTheHighlight) {
    EXPECT_EQ(AddScanSprite(-1, nullptr, 0, 0, 1, 0), -1);
    CCorAnim* a = title.m_anims.Create(3012, POINT{10, 10});
    EXPECT_EQ(AddScanSprite(-1, a, 1, 2, 1, 0), 0);
    EXPECT_EQ(AddScanSprite(-1, a, 0, 0, 1, 0), 1);
    EXPECT_EQ(AddScanSprite(0, a, 5, 5, 1, 1), 0);  // replaced
    ASSERT_NE(title.m_scanner.Target(0), nullptr);
    EXPECT_EQ(title.m_scanner.Target(0)->m_offsetX, 5);
    EXPECT_EQ(title.m_scanner.Target(0)->m_hideOnActivate, 1);
    EXPECT_EQ(title.m_scanner.Count(), 2);
    ClearScanTargets();
    EXPECT_EQ(title.m_scanner.Count(), 0);

    SetScanHighlight(12, 0, 0);
    ASSERT_NE(title.m_scanner.Highlight(), nullptr);
    EXPECT_EQ(title.m_scanner.Highlight()->GetId(), 3012);
    SetScanHighlight(99, 0, 0);  // no such picture: the shared highlight
    ASSERT_NE(title.m_scanner.Highlight(), nullptr);
    EXPECT_EQ(title.m_scanner.Highlight()->GetId(), 1);
}

// Statics go into the background surface: the first is number 1, and removing it restores
// what was under it; number 0 removes nothing.
TEST_F(ToolboxTest, AddAndRemoveStatics) {
    InitDibSystem(nullptr, TRUE, 0);
    title.m_backgroundSurface = std::make_unique<CDibG>();
    title.m_backgroundSurface->Create(16, 16, nullptr);
    title.m_backgroundSurface->Fill(9);
    title.m_originX = 2;
    title.m_originY = 1;
    EXPECT_EQ(AddStatic(12, 3, 3, 1), 1);
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(5, 4), 12);  // (3, 3) + the origin
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(4, 3), 9);
    EXPECT_EQ(AddStatic(12, 8, 8, 1), 2);
    RemoveStatic(0);
    RemoveStatic(-1);
    EXPECT_EQ(title.m_statics.GetCount(), 2);
    RemoveStatic(1);
    EXPECT_EQ(title.m_statics.GetCount(), 1);
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(5, 4), 9);
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(10, 9), 12);
    title.m_statics.RemoveAll();
    title.m_backgroundSurface.reset();
    ShutdownDibSystem();
}

}  // namespace
