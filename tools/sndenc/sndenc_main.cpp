// sndenc: makes one 'SND' item (or a WAV to listen to) from speech, an effect, a tone, raw
// samples or a file name. See README.md.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/sound/snd_encoder.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"
#include "platform/core/byte_order.h"
#include "platform/strings/cp1252.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: sndenc [--tone] [--plain|--compressed] [--wav] OUT SOURCE\n"
                 "  SOURCE: speak TEXT | word TEXT | effect NAME | tone HZ MS | raw FILE | file NAME\n"
                 "  speech is compressed by default, word clips and everything else plain; --wav writes a WAV\n");
    return 2;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> Wav(const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> w;
    auto put32 = [&](uint32_t v) { plat::AppendLe32(w, v); };
    auto put16 = [&](uint16_t v) { plat::AppendLe16(w, v); };
    auto tag = [&](const char* t) { w.insert(w.end(), t, t + 4); };
    tag("RIFF");
    put32(static_cast<uint32_t>(36 + samples.size()));
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(11025);
    put32(11025);
    put16(1);
    put16(8);
    tag("data");
    put32(static_cast<uint32_t>(samples.size()));
    w.insert(w.end(), samples.begin(), samples.end());
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    bool tone = false, wav = false;
    int form = 0;  // 0 default, 1 plain, 2 compressed
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        const std::string flag = argv[i];
        if (flag == "--tone")
            tone = true;
        else if (flag == "--plain")
            form = 1;
        else if (flag == "--compressed")
            form = 2;
        else if (flag == "--wav")
            wav = true;
        else
            return Usage();
    }
    if (argc - i < 3) return Usage();
    const std::string out = argv[i];
    const std::string kind = argv[i + 1];
    try {
        std::vector<uint8_t> samples;
        bool speech = false;
        if (kind == "speak") {
            std::string error;
            if (!SpeakOrTone(plat::Utf8ToCp1252(argv[i + 2]), tone, samples, &error)) {
                std::fprintf(stderr, "sndenc: %s\n", error.c_str());
                return 1;
            }
            speech = true;
        } else if (kind == "word") {
            std::string error;
            if (!SpeakOrToneWord(plat::Utf8ToCp1252(argv[i + 2]), tone, samples, &error)) {
                std::fprintf(stderr, "sndenc: %s\n", error.c_str());
                return 1;
            }
        } else if (kind == "effect") {
            samples = SynthEffect(argv[i + 2]);
            if (samples.empty()) {
                std::fprintf(stderr, "sndenc: no effect named %s\n", argv[i + 2]);
                return 1;
            }
        } else if (kind == "tone" && argc - i >= 4) {
            samples = Tone(std::atof(argv[i + 2]), std::atoi(argv[i + 3]));
        } else if (kind == "raw") {
            std::ifstream in(argv[i + 2], std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "sndenc: cannot read %s\n", argv[i + 2]);
                return 1;
            }
            samples.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else if (kind == "file") {
            return WriteFile(out, EncodeSndFileRef(argv[i + 2])) ? 0 : 1;
        } else {
            return Usage();
        }
        std::vector<uint8_t> bytes;
        if (wav)
            bytes = Wav(samples);
        else if (form == 2 || (form == 0 && speech && !samples.empty()))
            bytes = EncodeSndCompressed(samples);
        else
            bytes = EncodeSndPlain(samples);
        if (!WriteFile(out, bytes)) {
            std::fprintf(stderr, "sndenc: cannot write %s\n", out.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sndenc: %s\n", e.what());
        return 1;
    }
    return 0;
}
