// The resources of Zelbo3.res that the Ruduridodu activity names, module-relative. Every id the
// activity uses is here and in kIds, which data/Zelbo3/ruduridodu_ids_test.cpp finds in the built
// file.
#pragma once

#include <cstdint>

#include "media/res/res_id_list.h"

namespace ruduridodu {

inline constexpr int16_t kBackground = 0;               // 'SPR' the screen, 'PAL' its palette
inline constexpr int16_t kIntroduction = 990;           // 'SND'
inline constexpr int16_t kLevelTable = 100;             // 'IN#' the level chooser's layout
inline constexpr int16_t kLevelChooserPictures = 20;    // 'SPR' the chooser's first picture

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},
    {"PAL", kBackground},
    {"SND", kIntroduction},
    {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures},
};

}  // namespace ruduridodu
