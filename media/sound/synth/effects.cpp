#include "media/sound/synth/effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kRate = 11025.0;
constexpr double kTwoPi = 2 * std::numbers::pi;

std::vector<uint8_t> ToSamples(const std::vector<double>& x) {
    std::vector<uint8_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(128 + 127 * x[i])), 0, 255));
    return out;
}

size_t Samples(double seconds) { return static_cast<size_t>(seconds * kRate); }

// A struck bell: a few harmonic partials with exponential decay and a 3 ms attack. Partials at or
// above the Nyquist frequency are left out, so nothing folds back as a false tone.
void AddBell(std::vector<double>& x, double start, double hz, double amp, double decay) {
    const double weights[] = {1.0, 0.35, 0.12};
    const size_t from = Samples(start);
    for (size_t i = from; i < x.size(); ++i) {
        const double t = static_cast<double>(i - from) / kRate;
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / decay);
        double s = 0;
        for (int k = 1; k <= 3; ++k)
            if (k * hz < 0.45 * kRate) s += weights[k - 1] * std::sin(kTwoPi * k * hz * t) * std::exp(-t * (k - 1) / decay);
        x[i] += amp * env * s / 1.47;
    }
}

// Soft end: a 10 ms fade so the last sample returns to silence.
void FadeOut(std::vector<double>& x) {
    const size_t edge = std::min<size_t>(110, x.size());
    for (size_t i = 0; i < edge; ++i) x[x.size() - 1 - i] *= static_cast<double>(i) / edge;
}

// Under half a second: a module's entry waits for it with nothing else running.
std::vector<double> Chime() {
    std::vector<double> x(Samples(0.45));
    AddBell(x, 0.00, 1046.5, 0.28, 0.12);  // C6
    AddBell(x, 0.07, 1318.5, 0.26, 0.12);  // E6
    AddBell(x, 0.14, 1568.0, 0.26, 0.12);  // G6
    return x;
}

std::vector<double> Ding() {
    std::vector<double> x(Samples(0.6));
    AddBell(x, 0.0, 1568.0, 0.4, 0.2);
    return x;
}

std::vector<double> Sparkle() {
    std::vector<double> x(Samples(0.55));
    const double notes[] = {2093.0, 2637.0, 3136.0, 4186.0};  // C7 E7 G7 C8
    for (int i = 0; i < 4; ++i) AddBell(x, 0.055 * i, notes[i], 0.18, 0.09);
    return x;
}

// A bubble: a sine whose pitch falls quickly, with a fast rise and decay.
std::vector<double> Pop() {
    std::vector<double> x(Samples(0.08));
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double hz = 200 + 700 * std::exp(-t / 0.015);
        phase += kTwoPi * hz / kRate;
        x[i] = 0.45 * std::min(1.0, t / 0.002) * std::exp(-t / 0.02) * std::sin(phase);
    }
    return x;
}

std::vector<double> Click() {
    std::vector<double> x(Samples(0.025));
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        x[i] = 0.35 * std::min(1.0, t / 0.0005) * std::exp(-t / 0.004) * std::sin(kTwoPi * 1800 * t);
    }
    return x;
}

// Noise through a resonant band-pass whose centre sweeps up and down, under a raised-cosine swell.
std::vector<double> Whoosh() {
    std::vector<double> x(Samples(0.45));
    uint32_t seed = 0x2545F491u;
    double low = 0, band = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(x.size());
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const double noise = static_cast<double>(seed) / 4294967296.0 * 2 - 1;
        const double centre = 350 + 1500 * std::sin(std::numbers::pi * u);
        const double f = 2 * std::sin(std::numbers::pi * centre / kRate);  // state-variable filter
        const double q = 0.35;
        low += f * band;
        const double high = noise - low - q * band;
        band += f * high;
        const double swell = 0.5 - 0.5 * std::cos(kTwoPi * u);
        x[i] = swell * band;
    }
    // The filter's gain changes with its centre: scale the result to a soft peak.
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::abs(v));
    if (peak > 0)
        for (double& v : x) v *= 0.4 / peak;
    return x;
}

}  // namespace

const std::vector<std::string>& EffectNames() {
    static const std::vector<std::string> names{"chime", "ding", "sparkle", "pop", "click", "whoosh"};
    return names;
}

std::vector<uint8_t> SynthEffect(std::string_view name) {
    std::vector<double> x;
    if (name == "chime")
        x = Chime();
    else if (name == "ding")
        x = Ding();
    else if (name == "sparkle")
        x = Sparkle();
    else if (name == "pop")
        x = Pop();
    else if (name == "click")
        x = Click();
    else if (name == "whoosh")
        x = Whoosh();
    else
        return {};
    FadeOut(x);
    return ToSamples(x);
}
