// The resources of Zelbo5.res that the Vevudivodizide activity names, module-relative. Every id the
// activity uses is here and in kIds, which data/Zelbo5/vevudivodizide_ids_test.cpp finds in the built
// file.
#pragma once

#include <cstdint>

#include "media/res/res_id_list.h"

namespace vevudivodizide {

inline constexpr int16_t kBackground = 0;               // 'SPR' the screen, 'PAL' its palette
inline constexpr int16_t kIntroduction = 990;           // 'SND'
inline constexpr int16_t kLevelTable = 100;             // 'IN#' the level chooser's layout
inline constexpr int16_t kLevelChooserPictures = 870;   // 'SPR' the chooser's first picture

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},
    {"PAL", kBackground},
    {"SND", kIntroduction},
    {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures},
};

}  // namespace vevudivodizide
