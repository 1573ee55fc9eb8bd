// libFuzzer target: the sprite toolbox's items ('AN_', 'CUE', 'CUR') read from a module file as
// the toolbox reads them. The first byte chooses the item; the rest is its body. Every record
// read is touched, so a record taken from past the item's end would be reported.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/toolbox/anim_items.h"
#include "engine/toolbox/cursor_item.h"
#include "media/res/res_items_test_support.h"

// What was read goes somewhere, so none of it is left unread.
volatile int64_t toolboxItemsSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::vector<uint8_t> body(data + 1, data + size);
    itemtest::CTestHost host;
    media::CResWriter w;
    static const char* const kTypes[] = {"AN_", "CUE", "CUR"};
    w.Add(kTypes[data[0] % 3], 2100, body);
    if (!host.OpenModule(2, w)) return 0;
    int64_t sum = 0;
    if (auto list = ReadPreloadList(2100)) {
        for (const PreloadRecord& r : *list) sum += r.pictureId + r.soundId;
    }
    if (auto cues = ReadCueList(2100)) {
        for (const CueRecord& c : *cues) sum += c.timeMs / 2 + c.pictureId / 2;
    }
    if (auto cursor = ReadCursorItem(2100)) sum += cursor->pictureId + cursor->hotX + cursor->hotY;
    toolboxItemsSink = sum;
    return 0;
}
