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

inline constexpr int16_t kFrontPicture = 115;           // 'SPR' the kerb in front
inline constexpr int16_t kExitPicture = 10;             // 'SPR' the exit door, and pushed in
inline constexpr int16_t kExitPressed = 11;
inline constexpr int16_t kLevelPicture = 12;            // 'SPR' the level steps, and pushed in
inline constexpr int16_t kLevelPressed = 13;
inline constexpr int16_t kModePicture = 135;            // 'SPR' the mode button
inline constexpr int16_t kModeTurn = 149;               // 'ANI' the mode button turning
inline constexpr int16_t kBinPicture = 121;             // 'SPR' the bin
inline constexpr int16_t kBinLid = 201;                 // 'ANI' the bin's lid opening and shutting
inline constexpr int16_t kRoundLevels = 200;            // 'IN#' the table of (task kind, topic)
inline constexpr int16_t kSwitchTemplate = 500;         // 'IPA' the announcements' switches

inline constexpr int16_t kFirstLayout = 601;           // 'IN#' layout n is 601 + 10 (n - 1)
inline constexpr int16_t kPlateBlank = 440;             // 'SPR' the blank plate, lit at + 5
inline constexpr int16_t kPresenterRest = 801;          // 'SPR' the presenter at rest

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},   {"PAL", kBackground},   {"SND", kIntroduction}, {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures},
    {"SPR", kFrontPicture}, {"SPR", kExitPicture},  {"SPR", kExitPressed},  {"SPR", kLevelPicture},
    {"SPR", kLevelPressed}, {"SPR", kModePicture},  {"ANI", kModeTurn},     {"SPR", kBinPicture},
    {"ANI", kBinLid},       {"IN#", kRoundLevels},  {"IPA", kSwitchTemplate},
    // The task generators' number lists (CNumberLists::kGeneratorLists).
    {"IN#", 502}, {"IN#", 505}, {"IN#", 506}, {"IN#", 512}, {"IN#", 518}, {"IN#", 545}, {"IN#", 547},
    {"IN#", 548}, {"IN#", 549}, {"IN#", 553}, {"IN#", 555}, {"IN#", 556}, {"IN#", 559}, {"IN#", 560},
    {"IN#", 565}, {"IN#", 566}, {"IN#", 567}, {"IN#", 568}, {"IN#", 569},
    // The layouts, the plates and their signs, the presenter, his walks and acts.
    {"IN#", 601}, {"IN#", 611}, {"IN#", 621}, {"IN#", 631}, {"IN#", 641}, {"SPR", 649},
    {"SPR", kPlateBlank}, {"SPR", 445}, {"SPR", 653}, {"SPR", 450}, {"SPR", 469},
    {"SPR", 511}, {"SPR", 514}, {"SPR", 521}, {"SPR", 524}, {"SPR", 531}, {"SPR", 534}, {"SPR", 541},
    {"SPR", 544}, {"SPR", 551}, {"SPR", 552}, {"SPR", 553}, {"SPR", 554}, {"SPR", 555}, {"SPR", 556},
    {"SPR", kPresenterRest}, {"SPR", 210}, {"SPR", 211}, {"SPR", 212}, {"SPR", 213}, {"SPR", 214},
    {"SPR", 215}, {"SPR", 216}, {"SPR", 217}, {"SPR", 218}, {"SPR", 219},
    {"ANI", 148}, {"ANI", 150}, {"ANI", 790}, {"ANI", 400}, {"ANI", 406}, {"ANI", 409}, {"ANI", 411},
    {"ANI", 412}, {"IPA", 244}, {"IPA", 278}, {"IPA", 304}, {"IPA", 308},
    // The cars: bases, vehicle overlays, digits, driving in and into the bin; the bin's and the
    // play area's spots and their lists; the horns.
    {"SPR", 221}, {"SPR", 228}, {"SPR", 251}, {"SPR", 258}, {"SPR", 261}, {"SPR", 298}, {"SPR", 470},
    {"SPR", 479}, {"ANI", 125}, {"ANI", 200}, {"SPT", 121}, {"SPT", 102}, {"SP#", 120}, {"SP#", 100},
    {"SND", 341}, {"SND", 344}, {"SND", 724}, {"SND", 728}, {"SND", 431}, {"SND", 745},
};

}  // namespace ruduridodu
