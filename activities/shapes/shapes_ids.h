// The resources of Zelbo6.res that the shapes activity names, module-relative. Every id the
// activity uses is here and in kIds, which data/Zelbo6/shapes_ids_test.cpp finds in the built
// file.
#pragma once

#include <cstdint>

#include "media/res/res_id_list.h"

namespace shapes {

inline constexpr int16_t kBackground = 0;               // 'SPR' the screen, 'PAL' its palette
inline constexpr int16_t kIntroduction = 990;           // 'SND'
inline constexpr int16_t kLevelTable = 800;             // 'IN#' the level chooser's layout
inline constexpr int16_t kLevelChooserPictures = 800;   // 'SPR' the chooser's first picture

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},
    {"PAL", kBackground},
    {"SND", kIntroduction},
    {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures},
};

}  // namespace shapes
