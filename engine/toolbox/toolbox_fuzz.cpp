// libFuzzer target: any bytes as a module resource file (module 2), read through the toolbox:
// copies of every item, every string of every list into destinations of several sizes, the
// phrase of every template with its number tables, and a quadrilateral of every picture. Reads must stay within the items and writes within the
// destinations.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_quad.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/toolbox_test_support.h"
#include "media/res/read_error_prompt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnableReadErrorPrompt(false);
    toolboxtest::CPictureHost host;
    if (!host.OpenModuleBytes(2, std::vector<uint8_t>(data, data + size))) return 0;
    const std::span<ResDirEntry> found = host.managers[2]->Entries();
    const std::vector<ResDirEntry> entries(found.begin(), found.end());
    for (const ResDirEntry& e : entries) {
        const auto id = static_cast<int32_t>(e.id);
        uint32_t copySize = 0;
        uint8_t* copy = LoadResourceCopy(e.type, id, copySize);
        if (copy) {
            // Touch every byte the copy claims to hold.
            volatile uint8_t sum = 0;
            for (uint32_t i = 0; i < copySize; ++i) sum = static_cast<uint8_t>(sum + copy[i]);
        }
        FreeResourceCopy(copy);
        ResourceExists(e.type, id);
        if (e.type == kResIST) {
            for (const size_t capacity : {size_t{1}, size_t{4}, size_t{300}}) {
                auto dest = std::make_unique<char[]>(capacity);
                for (int16_t n = -1; n < 6; ++n) CopyListString(dest.get(), capacity, id, n);
                CopyListString(dest.get(), capacity, id, 32767);
            }
        }
        if (e.type == kResIPA) {
            // Arguments that reach the file's number tables, and some that do not.
            uint16_t out[kPhraseSize];
            const auto a = static_cast<uint16_t>(id), b = static_cast<uint16_t>(size);
            BuildPhrase(out, id, a, b, 0, 7, 0xFFFF);
            BuildPhraseEx(out, id, b, a, 999, 0, 1, 0x8000);
        }
        if (e.type == kResSPR && id % 1000 < 900)
            DrawPictureQuad(static_cast<int16_t>(id % 1000), {3, 0}, {20, 2}, {25, 17}, {0, 12});
    }
    return 0;
}
