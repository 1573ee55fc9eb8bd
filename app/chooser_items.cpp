#include "app/chooser_items.h"

#include "engine/toolbox/resource_copies.h"
#include "media/res/res_mgr.h"
#include "platform/core/byte_order.h"

namespace {

int16_t ValueAt(std::span<const BYTE> item, size_t offset) { return plat::GetLeI16(item, offset); }

}  // namespace

ChooserLayout ParseChooserLayout(std::span<const BYTE> item) {
    ChooserLayout l;
    int16_t* const fields[] = {
        &l.panelId,      &l.panelX,      &l.panelY,       &l.listMarkerId,  &l.listMarkerX,
        &l.listMarkerY,  &l.upId,        &l.upX,          &l.upY,           &l.downId,
        &l.downX,        &l.downY,       &l.listLeft,     &l.listTop,       &l.listRight,
        &l.listBottomWithEntry, &l.listBottomWithoutEntry, &l.rowColour,    &l.selectedColour,
        &l.entryBackId,  &l.entryBackX,  &l.entryBackY,   &l.typeMarkerId,  &l.typeMarkerX,
        &l.typeMarkerY,  &l.textLeft,    &l.textTop,      &l.textRight,     &l.textBottom,
        &l.caretId,      &l.maxChars,    &l.allowedListId, &l.okId,         &l.okX,
        &l.okY,          &l.fontStripId, &l.fontSize,     &l.promptSound,   &l.existsSound,
        &l.openAnim[0],  &l.openAnim[1], &l.closeAnim[0], &l.closeAnim[1],
    };
    size_t offset = 2;
    for (int16_t* field : fields) {
        *field = ValueAt(item, offset);
        offset += 2;
    }
    return l;
}

std::vector<uint16_t> ParseAllowedList(std::span<const BYTE> item) {
    std::vector<uint16_t> codes;
    if (item.size() < 2) return codes;
    const size_t count = plat::GetLe16(item, 0);
    const size_t present = (item.size() - 2) / 2;
    const size_t n = count < present ? count : present;
    codes.reserve(n);
    for (size_t i = 0; i < n; ++i) codes.push_back(plat::GetLe16(item, 2 + 2 * i));
    return codes;
}

namespace {

std::vector<BYTE> ReadItem(int16_t id) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(ResType("IN#"), id, size);
    std::vector<BYTE> bytes;
    if (copy) bytes.assign(copy, copy + size);
    FreeResourceCopy(copy);
    return bytes;
}

}  // namespace

ChooserLayout ReadChooserLayout(int16_t id) { return ParseChooserLayout(ReadItem(id)); }

std::vector<uint16_t> ReadAllowedList(int16_t id) { return ParseAllowedList(ReadItem(id)); }
