#include "media/sound/synth/voice.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>

#include "platform/core/byte_order.h"
#include "platform/strings/cp1252.h"

namespace {

constexpr int kTaps = 63;

// A windowed-sinc low-pass at 4.8 kHz for 22050 Hz input (Blackman window): little of what lies
// above the new 5512 Hz Nyquist frequency folds back.
const std::vector<double>& LowPassTaps() {
    static const std::vector<double> taps = [] {
        std::vector<double> h(kTaps);
        const double fc = 4800.0 / 22050.0;
        const int mid = kTaps / 2;
        double sum = 0;
        for (int i = 0; i < kTaps; ++i) {
            const int k = i - mid;
            const double sinc = k == 0 ? 2 * fc : std::sin(2 * std::numbers::pi * fc * k) / (std::numbers::pi * k);
            const double w = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * i / (kTaps - 1)) +
                             0.08 * std::cos(4 * std::numbers::pi * i / (kTaps - 1));
            h[i] = sinc * w;
            sum += h[i];
        }
        for (double& v : h) v /= sum;
        return h;
    }();
    return taps;
}

uint8_t ToUnsigned(double x) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(128.0 + x * 127.0)), 0, 255));
}

}  // namespace

std::vector<uint8_t> Downsample22050To11025(std::span<const int16_t> pcm, double gain) {
    const std::vector<double>& h = LowPassTaps();
    const int mid = kTaps / 2;
    std::vector<uint8_t> out;
    out.reserve(pcm.size() / 2 + 1);
    const auto n = static_cast<long>(pcm.size());
    for (long m = 0; 2 * m < n; ++m) {
        double acc = 0;
        for (int k = 0; k < kTaps; ++k) {
            const long j = 2 * m + k - mid;
            if (j >= 0 && j < n) acc += h[k] * pcm[j];
        }
        out.push_back(ToUnsigned(acc * gain / 32768.0));
    }
    return out;
}

std::span<const int16_t> TrimSilence(std::span<const int16_t> pcm, int rate, int marginMs) {
    int peak = 0;
    for (int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    if (peak == 0) return {};
    const int threshold = std::max(1, peak / 50);
    size_t first = 0, last = pcm.size();
    while (first < last && std::abs(static_cast<int>(pcm[first])) < threshold) ++first;
    while (last > first && std::abs(static_cast<int>(pcm[last - 1])) < threshold) --last;
    const size_t margin = static_cast<size_t>(rate) * static_cast<size_t>(std::max(marginMs, 0)) / 1000;
    first = first > margin ? first - margin : 0;
    last = std::min(pcm.size(), last + margin);
    return pcm.subspan(first, last - first);
}

double VoiceGain(std::span<const int16_t> pcm, double peak) {
    int loudest = 0;
    for (int16_t s : pcm) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    return loudest == 0 ? 1.0 : peak * 32768.0 / loudest;
}

double LoudnessGain(std::span<const int16_t> pcm, double rms, double peak) {
    double sum = 0;
    int loudest = 0;
    for (int16_t v : pcm) {
        sum += static_cast<double>(v) * v;
        loudest = std::max(loudest, std::abs(static_cast<int>(v)));
    }
    if (pcm.empty() || loudest == 0) return 1.0;
    const double current = std::sqrt(sum / static_cast<double>(pcm.size()));
    return std::min(rms * 32768.0 / current, peak * 32768.0 / loudest);
}

bool ReadWav16(const std::filesystem::path& path, std::vector<int16_t>& pcm, int& rate, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto fail = [&](const char* why) {
        if (error) *error = path.string() + ": " + why;
        return false;
    };
    if (b.size() < 12 || std::string_view(b.data(), 4) != "RIFF" || std::string_view(b.data() + 8, 4) != "WAVE")
        return fail("not a WAV file");
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string_view id(b.data() + at, 4);
        const uint32_t size = plat::GetLe32(bytes, at + 4);
        const size_t body = at + 8;
        // espeak-ng writing to a pipe leaves the data size open (0 or 0xFFFFFFFF): take the rest.
        const size_t avail = b.size() - body;
        const size_t len = size > avail ? avail : size;
        if (id == "fmt ") {
            if (len < 16) return fail("short format chunk");
            if (plat::GetLe16(bytes, body) != 1 || plat::GetLe16(bytes, body + 2) != 1 || plat::GetLe16(bytes, body + 14) != 16)
                return fail("not 16-bit mono PCM");
            rate = static_cast<int>(plat::GetLe32(bytes, body + 4));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return fail("data before format");
            pcm.resize(len / 2);
            for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(plat::GetLe16(bytes, body + 2 * i));
            return true;
        }
        at = body + len + (len & 1);
    }
    return fail("no data chunk");
}

namespace {

struct SpeechShape {
    int wordsPerMinute = 0;  // 0: espeak-ng's own pace
    int marginMs = 10;
    bool level = false;      // false: peak 0.7; true: LoudnessGain
    size_t fadeSamples = 55;
};

bool Speak(std::string_view textCp1252, const SpeechShape& shape, std::vector<uint8_t>& samples, std::string* error) {
    // Text and sound go through files, so the command line holds only paths we made.
    static std::atomic<unsigned> serial{0};
    std::random_device random;
    const auto tmp = std::filesystem::temp_directory_path();
    const std::string stem = "zelbo-voice-" + std::to_string(random()) + std::to_string(random()) + "-" +
                             std::to_string(serial++);
    const auto textPath = tmp / (stem + ".txt");
    const auto wavPath = tmp / (stem + ".wav");
    if (tmp.string().find('\'') != std::string::npos) {
        if (error) *error = "the temporary folder's name has a quote";
        return false;
    }
    {
        std::ofstream text(textPath, std::ios::binary);
        text << plat::Cp1252ToUtf8(textCp1252);
    }
    const std::string pace = shape.wordsPerMinute > 0 ? " -s " + std::to_string(shape.wordsPerMinute) : "";
    const std::string command = "espeak-ng -v sv" + pace + " -f '" + textPath.string() + "' -w '" + wavPath.string() +
                                "' >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    std::vector<int16_t> pcm;
    int rate = 0;
    std::string why;
    const bool ok = rc == 0 && ReadWav16(wavPath, pcm, rate, &why);
    std::error_code ec;
    std::filesystem::remove(textPath, ec);
    std::filesystem::remove(wavPath, ec);
    if (!ok) {
        if (error) *error = rc != 0 ? "espeak-ng is missing or failed" : why;
        return false;
    }
    if (rate != 22050) {
        if (error) *error = "espeak-ng spoke at " + std::to_string(rate) + " Hz, not 22050";
        return false;
    }
    const std::span<const int16_t> voiced = TrimSilence(pcm, rate, shape.marginMs);
    if (voiced.empty()) {
        if (error) *error = "espeak-ng gave silence";
        return false;
    }
    samples = Downsample22050To11025(voiced, shape.level ? LoudnessGain(voiced, 0.13, 0.95) : VoiceGain(voiced, 0.7));
    // Soft edges, so a trimmed start or end never clicks.
    const size_t fade = std::min<size_t>(shape.fadeSamples, samples.size() / 2);
    for (size_t i = 0; i < fade; ++i) {
        const double g = static_cast<double>(i) / fade;
        for (size_t at : {i, samples.size() - 1 - i})
            samples[at] = static_cast<uint8_t>(std::lround(128 + (samples[at] - 128) * g));
    }
    return true;
}

}  // namespace

bool SpeakSwedish(std::string_view textCp1252, std::vector<uint8_t>& samples, std::string* error) {
    return Speak(textCp1252, SpeechShape{}, samples, error);
}

bool SpeakSwedishWord(std::string_view textCp1252, std::vector<uint8_t>& samples, std::string* error) {
    return Speak(textCp1252, SpeechShape{130, 3, true, 22}, samples, error);
}

std::vector<uint8_t> Tone(double hz, int ms, double peak) {
    const size_t n = static_cast<size_t>(11025.0 * ms / 1000.0);
    const size_t edge = std::min<size_t>(110, n / 2);  // 10 ms
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < edge) g = static_cast<double>(i) / edge;
        if (n - 1 - i < edge) g = std::min(g, static_cast<double>(n - 1 - i) / edge);
        out[i] = ToUnsigned(peak * g * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / 11025.0));
    }
    return out;
}

std::vector<uint8_t> ToneFor(std::string_view key) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char c : key) h = (h ^ c) * 16777619u;
    return Tone(330.0 * std::pow(2.0, static_cast<double>(h % 24) / 12.0), 180);
}

bool ToneModeAsked(bool toneMode) {
    const char* env = std::getenv("ZELBO_VOICE");
    return toneMode || (env && std::string_view(env) == "tone");
}

namespace {

bool SpeakOrToneWith(bool (*speak)(std::string_view, std::vector<uint8_t>&, std::string*), std::string_view textCp1252,
                     bool toneMode, std::vector<uint8_t>& samples, std::string* error) {
    if (ToneModeAsked(toneMode)) {
        samples = ToneFor(textCp1252);
        return true;
    }
    std::string why;
    if (speak(textCp1252, samples, &why)) return true;
    if (error) {
        *error = "cannot speak \"" + plat::Cp1252ToUtf8(textCp1252) + "\": " + why +
                 " (install espeak-ng, or set ZELBO_VOICE=tone to use a tone for every text)";
    }
    return false;
}

}  // namespace

bool SpeakOrTone(std::string_view textCp1252, bool toneMode, std::vector<uint8_t>& samples, std::string* error) {
    return SpeakOrToneWith(SpeakSwedish, textCp1252, toneMode, samples, error);
}

bool SpeakOrToneWord(std::string_view textCp1252, bool toneMode, std::vector<uint8_t>& samples, std::string* error) {
    return SpeakOrToneWith(SpeakSwedishWord, textCp1252, toneMode, samples, error);
}
