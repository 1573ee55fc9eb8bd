// Any bytes as a 'SND' item, loaded forwards and reversed, and as one coded stream: no crash, no
// read or write out of bounds, blocks never above 10240 samples.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/sound/snd_format.h"
#include "media/sound/sound_clip.h"
#include "media/sound/sound_delta.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CSoundMixer mixer;  // never opened: loading needs no device
    CSoundItemMap items;
    items.Put(1001, std::vector<uint8_t>(data, data + size));
    CSoundList list(mixer);
    SetSoundItems(&items);
    for (int32_t id : {1001, -1001}) {
        const CSoundClip* clip = list.LoadClip(id);
        if (!clip) continue;
        uint64_t total = 0;
        for (const CSoundBlock& b : clip->blocks) {
            if (b.Length() > kSoundBlockSize) std::abort();
            total += b.Length();
        }
        if (total != clip->length) std::abort();
    }
    // The same bytes as a coded stream into a block whose size the first byte picks.
    std::vector<uint8_t> block(size > 0 ? data[0] * 40u : 0);
    if (DecodeSoundDelta({data, size}, block) > block.size()) std::abort();
    SetSoundItems(nullptr);
    return 0;
}
