// The hub's file: its entrances and animations as the fairground plays them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/res_item_test_support.h"
#include "media/res/anim_script.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::HotSpotOf;
using datatest::Le16;
using datatest::Le32;
using datatest::ReadItem;

// The hub's animations: entrances 200 to 600 (each its picture, place and carrier animations),
// the ambient groups and the signboard's, each with its preload list ('AN_', 0 for none).
struct HubAnimSet {
    int picture, x, y;  // picture 0: no picture of its own
    int preload;
    std::vector<int> anims;
};
const HubAnimSet kHubAnimSets[] = {
    {200, 0, 12, 200, {120, 121}},
    {300, 0, 241, 204, {130, 131}},
    {400, 421, 246, 203, {140, 141, 142, 144}},
    {500, 210, 0, 201, {150, 151, 152}},
    {600, 417, 36, 202, {160, 161, 162, 163, 164}},
    {0, 0, 0, 205, {122, 123}},
    {0, 0, 0, 206, {153, 154}},
    {0, 0, 0, 207, {165, 166, 167, 168}},
    {0, 0, 0, 208, {145, 146, 147}},
    {0, 0, 0, 209, {132, 133, 134, 135, 136, 137}},
    {0, 0, 0, 0, {173, 175, 180}},
};

// The hub's entrances lie on the screen at their places, above the navigation row, with their
// hot spots at their corners. Every hub animation ends by itself (no restart, hold, endless
// loop or jump out of the script, a closing record) and ends on no Wait; each entrance's
// animations play one sound of the file.
TEST(Zelbo1Data, HubEntrancesFitTheirPlacesAndTheirAnimationsEnd) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res").c_str()), 1);
    const Bytes hotspots = ReadItem(mgr, kResHTN, 1000);
    for (const HubAnimSet& set : kHubAnimSets) {
        SCOPED_TRACE("set with animation " + std::to_string(set.anims[0]));
        if (set.picture != 0) {
            const Bytes picture = ReadItem(mgr, kResSPR, 1000 + static_cast<uint32_t>(set.picture));
            ASSERT_GE(picture.size(), 12u);
            EXPECT_LE(set.x + static_cast<int>(Le32(picture, 0)), 640);
            EXPECT_LE(set.y + static_cast<int>(Le32(picture, 4)), 480 - 39);
            const auto hot = HotSpotOf(hotspots, set.picture);
            EXPECT_TRUE(!hot || *hot == (std::pair{0, 0}));
        }
        int sounds = 0;
        for (int anim : set.anims) {
            SCOPED_TRACE("ANI " + std::to_string(1000 + anim));
            const Bytes script = ReadItem(mgr, kResANI, 1000 + static_cast<uint32_t>(anim));
            ASSERT_GE(script.size(), 2 * media::kAnimRecordSize);
            ASSERT_EQ(script.size() % media::kAnimRecordSize, 0u);
            const size_t count = script.size() / media::kAnimRecordSize;
            for (size_t i = 0; i + 1 < count; ++i) {
                const int op = Le16(script, i * media::kAnimRecordSize);
                const uint32_t operand = Le32(script, i * media::kAnimRecordSize + 2);
                EXPECT_NE(op, media::kAnimEmpty) << "an end record before the last, at " << i;
                EXPECT_NE(op, media::kAnimRestart) << i;
                EXPECT_NE(op, media::kAnimJumpIfSound) << i;
                EXPECT_NE(op, media::kAnimHold) << i;
                if (op == media::kAnimLoop) {
                    EXPECT_LT(media::AnimLoopN(operand), 4095u) << "endless loop at " << i;
                    EXPECT_LT(media::AnimLoopJump(operand), 0) << i;
                    EXPECT_GE(static_cast<int>(i) + media::AnimLoopJump(operand) + 1, 0) << i;
                }
                if (op == media::kAnimPlaySound || op == media::kAnimPlayNewSound) {
                    ++sounds;
                    EXPECT_NE(mgr.FindEntry(kResSND, 1000 + operand % 1000), nullptr) << "sound " << operand;
                }
            }
            EXPECT_EQ(Le16(script, (count - 1) * media::kAnimRecordSize), media::kAnimEmpty) << "no end record";
            EXPECT_NE(Le16(script, (count - 2) * media::kAnimRecordSize), media::kAnimWait) << "ends on a Wait";
        }
        if (set.picture != 0) {
            EXPECT_EQ(sounds, 1) << "an entrance plays one short sound";
        }
    }
}

// What a hub animation shows and plays is in the file and in its preload list, so nothing is
// read from the disc while it plays.
TEST(Zelbo1Data, HubPreloadListsHoldWhatTheirAnimationsShowAndPlay) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res").c_str()), 1);
    for (const HubAnimSet& set : kHubAnimSets) {
        if (set.preload == 0) continue;
        SCOPED_TRACE("AN_ " + std::to_string(1000 + set.preload));
        const Bytes list = ReadItem(mgr, kResANU, 1000 + static_cast<uint32_t>(set.preload));
        ASSERT_GE(list.size(), 8u);
        const size_t records = static_cast<size_t>(Le16(list, 0));
        ASSERT_EQ(list.size(), 8u + 14u * records);
        std::set<int> pictures, sounds;
        for (size_t r = 0; r < records; ++r) {
            pictures.insert(Le16(list, 8 + 14 * r));
            if (const int sound = Le16(list, 8 + 14 * r + 10); sound != 0) sounds.insert(sound);
        }
        for (int anim : set.anims) {
            const Bytes script = ReadItem(mgr, kResANI, 1000 + static_cast<uint32_t>(anim));
            for (size_t at = 0; at + media::kAnimRecordSize <= script.size(); at += media::kAnimRecordSize) {
                const int op = Le16(script, at);
                const int id = static_cast<int>(Le32(script, at + 2) % 1000);
                if (op == media::kAnimShowPicture && id != 2) {
                    EXPECT_TRUE(pictures.count(id)) << "ANI " << anim << " shows " << id;
                    EXPECT_NE(mgr.FindEntry(kResSPR, 1000 + static_cast<uint32_t>(id)), nullptr) << id;
                }
                if (op == media::kAnimPlaySound || op == media::kAnimPlayNewSound) {
                    EXPECT_TRUE(sounds.count(id)) << "ANI " << anim << " plays " << id;
                }
            }
        }
    }
}

}  // namespace
