// The stand-in voices: Swedish speech from espeak-ng, brought from its 22050 Hz 16-bit output to
// the game's 11025 Hz 8-bit unsigned samples; and the tone mode, which gives every text a short
// tone of its own so that nothing depends on the speech synthesiser or its version.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Low-pass filters 22050 Hz samples below the new Nyquist frequency and keeps every second one,
// scaled by gain (1.0: full 16-bit scale to full 8-bit scale), as 8-bit unsigned samples.
std::vector<uint8_t> Downsample22050To11025(std::span<const int16_t> pcm, double gain);

// Cuts leading and trailing near-silence (keeping a few milliseconds) and scales the samples so
// that the loudest reaches peak (0..1 of full scale); returns the gain used on pcm.
double VoiceGain(std::span<const int16_t> pcm, double peak);
std::span<const int16_t> TrimSilence(std::span<const int16_t> pcm, int rate, int marginMs = 10);
// The gain that brings pcm to an RMS of rms (0..1 of full scale), lowered where the loudest
// sample would pass peak: word clips levelled so to one another sound equally loud in a chain.
double LoudnessGain(std::span<const int16_t> pcm, double rms, double peak);

// Reads a mono 16-bit PCM WAV file; false with a message otherwise.
bool ReadWav16(const std::filesystem::path& path, std::vector<int16_t>& pcm, int& rate, std::string* error);

// Speaks Windows-1252 text with espeak-ng's Swedish voice (espeak-ng -v sv), trimmed and
// normalised to a peak of 0.7 of full scale. False with a message when espeak-ng is missing or
// fails.
bool SpeakSwedish(std::string_view textCp1252, std::vector<uint8_t>& samples, std::string* error);
// A word clip to be chained with others into a spoken number or phrase: espeak-ng's Swedish
// voice at a calm pace for children (130 words a minute), trimmed to 3 ms of silence at both
// ends and levelled to the loudness every word clip shares (an RMS of 0.13 of full scale, peaks
// at most 0.95), with 2 ms fades.
bool SpeakSwedishWord(std::string_view textCp1252, std::vector<uint8_t>& samples, std::string* error);

// A sine tone with soft edges: hz, milliseconds, peak (0..1).
std::vector<uint8_t> Tone(double hz, int ms, double peak = 0.5);
// Tone mode: a 180 ms tone whose pitch (one of 24 semitones from 330 Hz) comes from the text.
std::vector<uint8_t> ToneFor(std::string_view key);

// Whether tone mode is asked for: toneMode, or ZELBO_VOICE=tone in the environment.
bool ToneModeAsked(bool toneMode);
// In tone mode the text's tone; otherwise speech. A synthesiser that is missing or fails is an
// error (false with a message that says how to build with tones instead), never a quiet tone.
bool SpeakOrTone(std::string_view textCp1252, bool toneMode, std::vector<uint8_t>& samples, std::string* error);
// The same for word clips (SpeakSwedishWord).
bool SpeakOrToneWord(std::string_view textCp1252, bool toneMode, std::vector<uint8_t>& samples, std::string* error);
