// Writers of 'SND' items, the three forms the game reads (media/sound/snd_format.h): plain
// samples, the delta-compressed form, and references to sound files.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct SoundDeltaOptions {
    uint8_t perRun = 16;  // L, samples per delta run: a multiple of 8, at least 8
    int tolerance = 2;    // largest error a delta run may leave; above it larger codes are used
};

// A plain item: two samples of silence (0x80 0x80), so the first bytes never read as a file
// reference or a compressed header, then the samples.
std::vector<uint8_t> EncodeSndPlain(std::span<const uint8_t> samples);

// One coded stream of at most 65535 samples (sound_delta.h); lossy by at most the tolerance
// except where a sample jumps too far for any run, which is then coded absolutely (exact to 1).
std::vector<uint8_t> EncodeSoundDelta(std::span<const uint8_t> samples, const SoundDeltaOptions& options = {});

// A compressed item: blocks of 10240 samples, each one coded stream. Throws std::invalid_argument
// for no samples or more than 1000 blocks.
std::vector<uint8_t> EncodeSndCompressed(std::span<const uint8_t> samples, const SoundDeltaOptions& options = {});

// A file reference to a file of raw samples in the preference folder. Throws std::invalid_argument
// for a name the game would refuse (a path, empty, longer than 64 bytes).
std::vector<uint8_t> EncodeSndFileRef(std::string_view fileName);
