// Synthesised sound effects for the stand-in resources: short, soft-edged, 11025 Hz 8-bit
// unsigned, peaks well below full scale so that they mix with speech.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "chime" (three rising bell notes), "ding" (one bell), "pop", "click", "whoosh" (swept noise),
// "sparkle" (quick high notes). Empty for an unknown name.
std::vector<uint8_t> SynthEffect(std::string_view name);
const std::vector<std::string>& EffectNames();
