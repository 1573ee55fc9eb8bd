// libFuzzer target: the album's slot table and colour patch readers over any bytes. The first
// byte picks how many entries are asked for (up to 40) and the byte order; the rest is the
// item. Every value read is touched, so one taken from past the item's end would be reported.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/popups/record_panel.h"

volatile int64_t recordPanelSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::span<const uint8_t> item(data + 1, size - 1);
    RecordSlotTable table;
    const int read = ReadSlotTable(item, data[0] % 41, (data[0] & 0x80) != 0, table);
    int64_t sum = read;
    for (const RecordSlot& s : table) sum += s.picture + s.record;
    if (const auto patch = ReadColourPatch(item)) {
        if (patch->first + static_cast<int>(patch->colours.size()) > 256) __builtin_trap();
        for (const PALETTEENTRY& c : patch->colours) sum += c.peRed + c.peGreen + c.peBlue;
    }
    recordPanelSink = recordPanelSink + sum;
    return 0;
}
