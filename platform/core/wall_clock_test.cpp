#include <gtest/gtest.h>

#include <ctime>

#include "platform/core/backend.h"
#include "platform/core/crt.h"
#include "platform/headless/headless_backend.h"

namespace {

class WallClock : public ::testing::Test {
protected:
    void TearDown() override {
        plat::SetWallClock(std::nullopt);
        plat::SetBackend(nullptr);
    }
};

TEST_F(WallClock, HeadlessNowIsSetByTheTestAndMovesWithTheVirtualClock) {
    auto owned = std::make_unique<plat::HeadlessBackend>();
    plat::HeadlessBackend* headless = owned.get();
    plat::SetBackend(std::move(owned));
    headless->Advance(700);
    plat::SetWallClock(1'000'000);
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'000);
    headless->Advance(999);
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'000);
    headless->Advance(1);
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'001);
    // Asked at odd moments, the seconds still follow the clock exactly.
    for (int i = 0; i < 7; ++i) {
        headless->Advance(300);
        plat::WallClockSeconds();
    }
    headless->Advance(900);
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'004);

    // A new back end starts its clock at 0: "now" goes on from where it was.
    auto fresh = std::make_unique<plat::HeadlessBackend>();
    plat::HeadlessBackend* second = fresh.get();
    plat::SetBackend(std::move(fresh));
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'004);
    second->Advance(3000);
    EXPECT_EQ(plat::WallClockSeconds(), 1'000'007);
}

TEST_F(WallClock, WithoutATestValueItIsTheHostTime) {
    plat::SetBackend(nullptr);
    const auto before = static_cast<int64_t>(std::time(nullptr));
    const int64_t now = plat::WallClockSeconds();
    EXPECT_GE(now, before);
    EXPECT_LE(now, static_cast<int64_t>(std::time(nullptr)));
    // Set without a back end, it stands still.
    plat::SetWallClock(42);
    EXPECT_EQ(plat::WallClockSeconds(), 42);
}

}  // namespace
