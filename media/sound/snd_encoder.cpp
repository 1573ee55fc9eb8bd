#include "media/sound/snd_encoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

#include "media/sound/snd_format.h"
#include "media/sound/sound_delta.h"
#include "platform/core/byte_order.h"

namespace {

// The three kinds of delta run: code bits 5-4, values per sample, bits per sample.
enum class RunKind { OneBit, TwoBit, FourBit };

struct RunTrial {
    int maxError = 1 << 30;
    int sumError = 0;
    int row = 0;
    std::array<uint8_t, 256> values{};  // one code value per sample
};

int Bits(RunKind k) { return k == RunKind::OneBit ? 1 : k == RunKind::TwoBit ? 2 : 4; }

int StepOf(RunKind k, const std::array<int8_t, 16>& row, int code) {
    switch (k) {
        case RunKind::OneBit:
            return code ? row[8] : -row[8];
        case RunKind::TwoBit:
            return row[6 + code];
        case RunKind::FourBit:
            return row[code];
    }
    return 0;
}

// Greedy coding of up to `count` samples with one row: each sample takes the code that lands
// nearest. Samples past the end of the input (a last, partial run) are don't-care.
RunTrial TryRun(RunKind kind, int rowIndex, int v, std::span<const uint8_t> target) {
    const auto& row = SoundDeltaSteps()[rowIndex];
    const int codes = 1 << Bits(kind);
    RunTrial t;
    t.row = rowIndex;
    t.maxError = 0;
    for (size_t i = 0; i < target.size(); ++i) {
        int bestCode = 0, bestValue = 0, bestError = 1 << 30;
        for (int c = 0; c < codes; ++c) {
            const int nv = std::clamp(v + StepOf(kind, row, c), 0, 255);
            const int e = std::abs(nv - target[i]);
            if (e < bestError) {
                bestError = e;
                bestCode = c;
                bestValue = nv;
            }
        }
        t.values[i] = static_cast<uint8_t>(bestCode);
        v = bestValue;
        t.maxError = std::max(t.maxError, bestError);
        t.sumError += bestError;
    }
    return t;
}

RunTrial BestRow(RunKind kind, int v, std::span<const uint8_t> target) {
    RunTrial best;
    for (int row = 0; row < 16; ++row) {
        RunTrial t = TryRun(kind, row, v, target);
        if (t.maxError < best.maxError || (t.maxError == best.maxError && t.sumError < best.sumError)) best = t;
    }
    return best;
}

// Replays a run to find the decoder's value after it.
int Apply(RunKind kind, const RunTrial& t, int v, size_t count) {
    const auto& row = SoundDeltaSteps()[t.row];
    for (size_t i = 0; i < count; ++i) v = std::clamp(v + StepOf(kind, row, t.values[i]), 0, 255);
    return v;
}

void EmitRun(std::vector<uint8_t>& out, RunKind kind, const RunTrial& t, size_t perRun) {
    const uint8_t kindBits = kind == RunKind::OneBit ? 0x10 : kind == RunKind::TwoBit ? 0x20 : 0x00;
    out.push_back(static_cast<uint8_t>(kindBits | t.row));
    const int bits = Bits(kind);
    const size_t perByte = 8 / bits;
    for (size_t b = 0; b < perRun / perByte; ++b) {
        uint8_t byte = 0;
        for (size_t j = 0; j < perByte; ++j) {
            byte = static_cast<uint8_t>(byte << bits);
            byte = static_cast<uint8_t>(byte | t.values[b * perByte + j]);  // unused tail values are 0
        }
        out.push_back(byte);
    }
}

}  // namespace

std::vector<uint8_t> EncodeSndPlain(std::span<const uint8_t> samples) {
    std::vector<uint8_t> out(samples.size() + 2, 0x80);
    std::copy(samples.begin(), samples.end(), out.begin() + 2);
    return out;
}

std::vector<uint8_t> EncodeSoundDelta(std::span<const uint8_t> samples, const SoundDeltaOptions& options) {
    if (samples.size() > 0xFFFF) throw std::invalid_argument("a coded stream holds at most 65535 samples");
    if (options.perRun < 8 || options.perRun % 8 != 0) throw std::invalid_argument("samples per run: a multiple of 8");
    const size_t n = samples.size();
    const size_t perRun = options.perRun;
    std::vector<uint8_t> out;
    plat::AppendLe16(out, static_cast<uint16_t>(n));
    plat::AppendLe16(out, 0);
    out.push_back(options.perRun);
    for (int i = 0; i < 3; ++i) out.push_back(0);
    if (n == 0) {
        out.push_back(0x80);
        return out;
    }
    int v = samples[0];
    out.push_back(samples[0]);
    size_t i = 1;
    while (i < n) {
        // Samples equal to the current value: a run code is exact.
        size_t same = 0;
        while (i + same < n && samples[i + same] == v && same < 63) ++same;
        if (same > 0) {
            out.push_back(static_cast<uint8_t>(0x40 | same));
            i += same;
            continue;
        }
        const std::span<const uint8_t> target = samples.subspan(i, std::min(perRun, n - i));
        bool done = false;
        for (RunKind kind : {RunKind::OneBit, RunKind::TwoBit, RunKind::FourBit}) {
            const RunTrial t = BestRow(kind, v, target);
            const bool last = kind == RunKind::FourBit;
            // A jump no row can follow is coded absolutely; the runs resume after it.
            if (t.maxError <= options.tolerance || (last && t.maxError <= 2 * options.tolerance + 4)) {
                EmitRun(out, kind, t, perRun);
                v = Apply(kind, t, v, target.size());
                i += target.size();
                done = true;
                break;
            }
        }
        if (!done) {
            const uint8_t c = static_cast<uint8_t>(0x80 | samples[i] >> 1);
            out.push_back(c);
            v = (c * 2) & 0xFF;
            ++i;
        }
    }
    return out;
}

std::vector<uint8_t> EncodeSndCompressed(std::span<const uint8_t> samples, const SoundDeltaOptions& options) {
    if (samples.empty()) throw std::invalid_argument("a compressed item needs at least one sample");
    const size_t blocks = (samples.size() + kSoundBlockSize - 1) / kSoundBlockSize;
    if (blocks > kSndMaxBlocks) throw std::invalid_argument("more than 1000 blocks");
    std::vector<uint8_t> out;
    plat::AppendLe16(out, static_cast<uint16_t>(blocks));
    plat::AppendLe32(out, static_cast<uint32_t>(samples.size()));
    plat::AppendLe16(out, static_cast<uint16_t>(std::min<size_t>(samples.size(), kSoundBlockSize)));
    plat::AppendLe16(out, 0);
    const size_t table = out.size();
    out.resize(out.size() + blocks * kSndBlockHeaderSize);
    for (size_t b = 0; b < blocks; ++b) {
        const std::span<const uint8_t> part =
            samples.subspan(b * kSoundBlockSize, std::min<size_t>(kSoundBlockSize, samples.size() - b * kSoundBlockSize));
        const std::vector<uint8_t> coded = EncodeSoundDelta(part, options);
        if (coded.size() > 0xFFFF) throw std::invalid_argument("a coded block is longer than 65535 bytes");
        const size_t at = table + b * kSndBlockHeaderSize;
        plat::SetLe32(out, at, static_cast<uint32_t>(out.size()));
        plat::SetLe16(out, at + 4, static_cast<uint16_t>(coded.size()));
        plat::SetLe16(out, at + 6, static_cast<uint16_t>(part.size()));
        out.insert(out.end(), coded.begin(), coded.end());
    }
    return out;
}

std::vector<uint8_t> EncodeSndFileRef(std::string_view fileName) {
    if (!IsSafeSndFileName(fileName)) throw std::invalid_argument("not a plain file name of 1 to 64 bytes");
    std::vector<uint8_t> out(4 + fileName.size() + 1, 0);
    plat::SetLe16(out, 0, kSndFileRefTag);
    std::copy(fileName.begin(), fileName.end(), out.begin() + 4);
    return out;
}
