// The chooser's layout and allowed-character list, read within their size.
#include "app/chooser_items.h"

#include <gtest/gtest.h>

#include <vector>

#include "media/res/res_items_test_support.h"
#include "platform/core/byte_order.h"

namespace {

// An item whose value at offset o is 1000 + o.
std::vector<BYTE> CountingLayout(size_t size) {
    std::vector<BYTE> b(size, 0);
    for (size_t o = 0; o + 2 <= size; o += 2) plat::SetLe16(b, o, static_cast<uint16_t>(1000 + o));
    if (size % 2) b.back() = 0x7F;
    return b;
}

// Every field at its offset; values an item is too short to hold are 0.
TEST(ChooserItems, LayoutValuesAtTheirOffsetsWithinTheItem) {
    const struct {
        size_t size;
        int16_t panelY, caretId, okY, closeLast;
    } cases[] = {
        {88, 1006, 1060, 1070, 1086},
        {89, 1006, 1060, 1070, 1086},
        {87, 1006, 1060, 1070, 0},
        {62, 1006, 1060, 0, 0},
        {61, 1006, 0, 0, 0},
        {7, 0, 0, 0, 0},
        {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ChooserLayout l = ParseChooserLayout(CountingLayout(c.size));
        EXPECT_EQ(l.panelY, c.panelY) << c.size;
        EXPECT_EQ(l.caretId, c.caretId) << c.size;
        EXPECT_EQ(l.okY, c.okY) << c.size;
        EXPECT_EQ(l.closeAnim[1], c.closeLast) << c.size;
        if (c.size >= 8) {
            EXPECT_EQ(l.panelId, 1002) << c.size;
            EXPECT_EQ(l.panelX, 1004) << c.size;
        }
    }
    const ChooserLayout full = ParseChooserLayout(CountingLayout(88));
    const int16_t expected[] = {
        full.panelId, full.panelX, full.panelY, full.listMarkerId, full.listMarkerX, full.listMarkerY,
        full.upId, full.upX, full.upY, full.downId, full.downX, full.downY, full.listLeft, full.listTop,
        full.listRight, full.listBottomWithEntry, full.listBottomWithoutEntry, full.rowColour,
        full.selectedColour, full.entryBackId, full.entryBackX, full.entryBackY, full.typeMarkerId,
        full.typeMarkerX, full.typeMarkerY, full.textLeft, full.textTop, full.textRight, full.textBottom,
        full.caretId, full.maxChars, full.allowedListId, full.okId, full.okX, full.okY, full.fontStripId,
        full.fontSize, full.promptSound, full.existsSound, full.openAnim[0], full.openAnim[1],
        full.closeAnim[0], full.closeAnim[1]};
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(expected[i], 1002 + 2 * static_cast<int>(i)) << i;
}

// The count is cut to the codes present; a missing, short or empty list has no codes.
TEST(ChooserItems, AllowedListCutToItsCodes) {
    const struct {
        std::vector<BYTE> item;
        std::vector<uint16_t> codes;
    } cases[] = {
        {{3, 0, 'A', 0, 0xE5, 0, '-', 0}, {'A', 0xE5, '-'}},
        {{2, 0, 'A', 0, 'B', 0, 'C', 0}, {'A', 'B'}},
        {{5, 0, 'A', 0, 'B', 0}, {'A', 'B'}},
        {{5, 0, 'A', 0, 'B'}, {'A'}},
        {{0, 0, 'A', 0}, {}},
        {{0xFF, 0xFF}, {}},
        {{9}, {}},
        {{}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseAllowedList(c.item), c.codes) << c.item.size();
}

// Read by module-relative id from the module's file; a missing item reads as empty.
TEST(ChooserItems, ReadFromTheModulesFile) {
    itemtest::CTestHost host;
    host.module = 1;
    media::CResWriter w;
    w.Add("IN#", 1101, CountingLayout(88));
    w.Add("IN#", 1102, std::vector<uint8_t>{2, 0, 'x', 0, 'y', 0});
    ASSERT_TRUE(host.OpenModule(1, w));
    EXPECT_EQ(ReadChooserLayout(101).okId, 1066);
    EXPECT_EQ(ReadAllowedList(102), (std::vector<uint16_t>{'x', 'y'}));
    EXPECT_EQ(ReadChooserLayout(103).okId, 0);
    EXPECT_TRUE(ReadAllowedList(103).empty());
}

}  // namespace
