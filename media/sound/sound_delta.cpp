#include "media/sound/sound_delta.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace {

SoundStepTable BuildSteps() {
    SoundStepTable t{};
    for (int k = 0; k < 16; ++k) {
        for (int i = 0; i < 16; ++i) {
            const int mult = i < 8 ? i - 8 : i - 7;  // -8..-1, then +1..+8
            t[k][i] = static_cast<int8_t>(std::clamp(mult * (k + 1), -128, 127));
        }
    }
    return t;
}

}  // namespace

const SoundStepTable& SoundDeltaSteps() {
    static const SoundStepTable table = BuildSteps();
    return table;
}

size_t DecodeSoundDelta(std::span<const uint8_t> coded, std::span<uint8_t> out) {
    if (coded.size() < kSoundDeltaHeaderSize + 1) return 0;
    const SoundStepTable& steps = SoundDeltaSteps();
    const size_t declared = plat::GetLe16(coded, 0);
    const size_t perRun = coded[4];
    const size_t limit = std::min(declared, out.size());
    int v = coded[kSoundDeltaHeaderSize];
    size_t written = 0;
    if (limit == 0) return 0;
    out[written++] = static_cast<uint8_t>(v);
    // Signed, because a delta run may count past N.
    int64_t remaining = static_cast<int64_t>(declared) - 1;
    size_t in = kSoundDeltaHeaderSize + 1;

    auto put = [&](int value) {
        v = std::clamp(value, 0, 255);
        if (written < limit) out[written++] = static_cast<uint8_t>(v);
    };

    while (remaining > 0 && written < limit && in < coded.size()) {
        const uint8_t c = coded[in++];
        if (c & 0x80) {
            put((c * 2) & 0xFF);
            remaining -= 1;
            continue;
        }
        if ((c & 0xC0) == 0x40) {
            const int n = c & 0x3F;
            for (int i = 0; i < n; ++i) put(v);
            remaining -= n;
            continue;
        }
        const auto& row = steps[c & 0x0F];
        const int kind = (c >> 4) & 0x03;
        const size_t bytes = kind == 1 ? perRun / 8 : kind == 2 ? perRun / 4 : perRun / 2;
        if (bytes > coded.size() - in) {
            in = coded.size();  // the run is cut off: the stream ends here
            break;
        }
        for (size_t b = 0; b < bytes; ++b) {
            const uint8_t d = coded[in++];
            if (kind == 1) {
                for (int bit = 7; bit >= 0; --bit) put(v + ((d >> bit) & 1 ? row[8] : -row[8]));
            } else if (kind == 2) {
                for (int shift = 6; shift >= 0; shift -= 2) put(v + row[6 + ((d >> shift) & 3)]);
            } else {
                put(v + row[d >> 4]);
                put(v + row[d & 0x0F]);
            }
        }
        remaining -= static_cast<int64_t>(perRun);
    }
    return written;
}
