#include "app/game_modules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>

#include "app/app_test_support.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/module_host.h"

namespace {

using GameModulesTest = app_test::AppTest;

// Which of the 17 entries of a table are there.
std::set<int> PresentEntries(const ModuleFunctionTable& table) {
    std::array<void (*)(), 17> entries{};
    std::memcpy(entries.data(), &table, sizeof table);
    std::set<int> present;
    for (int i = 0; i < 17; ++i)
        if (entries[static_cast<size_t>(i)]) present.insert(i);
    return present;
}

// Every module can be entered once the modules are put together: each table has exactly the
// entries the engine may call on that module, and they answer 0 (no click handled, no leaving
// animation, so leaving never waits on them), except that module 5, which has no text items,
// answers a click on a text 1. Afterwards nothing is left registered.
TEST_F(GameModulesTest, EachActivityHasExactlyItsEntriesAndAnswersZero) {
    const struct {
        int module;
        std::set<int> entries;
        int16_t textClick = 0;
    } cases[] = {
        {2, {0, 2, 6, 7, 9, 11, 12, 14, 15}},
        {3, {0, 2, 6, 7, 8, 9, 12, 14, 15}},
        {4, {0, 2, 6, 7, 8, 9, 11, 14, 15}},
        {5, {0, 2, 6, 7, 8, 9, 11, 14, 15}, 1},
        {6, {0, 2, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const auto& c : cases) EXPECT_EQ(theEngine->GetModuleTable(c.module), nullptr) << "before: " << c.module;
    EXPECT_EQ(GetModuleHost(6), nullptr);
    {
        const CGameModules modules;
        ASSERT_NE(GetModuleHost(6), nullptr) << "module 6's host exists before its first entry";
        for (const auto& c : cases) {
            SCOPED_TRACE(c.module);
            ModuleFunctionTable* table = theEngine->GetModuleTable(c.module);
            ASSERT_NE(table, nullptr);
            EXPECT_EQ(PresentEntries(*table), c.entries);

            // Entered, played and left as the engine would: nothing handled, nothing started.
            table->Enter();
            table->Notify(kModuleNotifyEntered);
            table->Start();
            table->Tick();
            table->KeyDown(0x41);
            if (table->OnScanPoint) table->OnScanPoint(3);
            EXPECT_EQ(table->OnAnimClicked(nullptr, 200), 0);
            if (table->OnTextClicked) {
                EXPECT_EQ(table->OnTextClicked(nullptr, 1), c.textClick);
            }
            if (table->BeginLeave) {
                EXPECT_EQ(table->BeginLeave(), 0);
            }
            table->Leave();
        }
    }
    for (const auto& c : cases) EXPECT_EQ(theEngine->GetModuleTable(c.module), nullptr) << "after: " << c.module;
    EXPECT_EQ(GetModuleHost(6), nullptr);
}

}  // namespace
