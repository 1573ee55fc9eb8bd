// The shapes activity's file: the file kinds of its picture dialogs.
#include <gtest/gtest.h>

#include <string>

#include "data/res_item_test_support.h"
#include "media/print/file_kinds.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::ReadItem;

// The shapes activity's picture file dialogs: saving offers its own file, BMP and PCX; opening
// takes its own file only, which begins with a piece set id below 256.
TEST(Zelbo6Data, PictureFileKindsTellFilesApart) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo6.res").c_str()), 1);
    const auto save = media::ParseFileKinds(ReadItem(mgr, kResFIL, 6020));
    const auto open = media::ParseFileKinds(ReadItem(mgr, kResFIL, 6030));
    ASSERT_TRUE(save);
    ASSERT_TRUE(open);
    ASSERT_EQ(save->kinds.size(), 3u);
    EXPECT_EQ(save->kinds[0].extension, "zfb");
    EXPECT_EQ(save->kinds[1].extension, "bmp");
    EXPECT_EQ(save->kinds[2].extension, "pcx");
    EXPECT_NE(save->filter.find("Bitmappsbild (*.bmp)|*.bmp|"), std::string::npos);
    ASSERT_EQ(open->kinds.size(), 1u);
    EXPECT_EQ(open->kinds[0].extension, "zfb");
    const struct {
        Bytes head;
        int saveKind, openKind;
    } files[] = {
        {{20, 0, 3, 0}, 0, 0},
        {{10, 0}, 0, 0},
        {{'B', 'M', 0x36, 0x04}, 1, -1},
        {{0x0A, 0x05, 0x01, 0x08}, 2, -1},
        {{20}, -1, -1},
    };
    for (const auto& f : files) {
        EXPECT_EQ(media::MatchFileKind(*save, f.head, f.head.size()), f.saveKind);
        EXPECT_EQ(media::MatchFileKind(*open, f.head, f.head.size()), f.openKind);
    }
    // The texts of the message when the dialog's file object cannot be made.
    EXPECT_GT(ReadItem(mgr, kResIST, 6984).size(), 3u);
    EXPECT_GT(ReadItem(mgr, kResIST, 6985).size(), 3u);
}

}  // namespace
