// The resources of Zelbo6.res that the shapes activity names, module-relative. Every id the
// activity uses is here and in kIds, which data/Zelbo6/shapes_ids_test.cpp finds in the built
// file.
#pragma once

#include <cstdint>

#include "media/res/res_id_list.h"

namespace shapes {

inline constexpr int16_t kBackground = 0;               // 'SPR' the screen, 'PAL' its palette
inline constexpr int16_t kIntroduction = 990;           // 'SND'
inline constexpr int16_t kChooserTable = 800;           // 'IN#' the level chooser's layout
inline constexpr int16_t kLevelChooserPictures = 800;   // 'SPR' the chooser's first picture
inline constexpr int16_t kGuideBarVertical = 51;        // 'SPR' a target's guide lines, clipped to
inline constexpr int16_t kGuideBarHorizontal = 52;      //   three pixels across
inline constexpr int16_t kReferenceBoard = 53;          // 'SPR' static: the task has reference pieces
inline constexpr int16_t kSolutionMarker = 58;          // 'SPR' the arrow under the asked-for piece
inline constexpr int16_t kPatterns = 80;                // 'SPR' fill 16 + k shows 80 + k (k 0 to 7),
inline constexpr int16_t kMarkedPatterns = 88;          //   marked fill 24 + k shows 88 + k
inline constexpr int16_t kLevelTable = 10;              // 'IN#' the levels: count, then each level's
                                                        //   list offset; 'IN#' 10 + offset its tasks
inline constexpr int16_t kLevelCount = 26;
inline constexpr int16_t kTaskPrompt = 200;             // 'SND' a task's prompt; + 1 by colours
inline constexpr int16_t kAfterPrompt = 80;             // 'SND' said after the first prompts
inline constexpr int16_t kPieceNames = 300;             // 'SND' 300 + kind: the piece's name
inline constexpr int16_t kAlreadyThere = 481;           // 'SND' a place already filled
inline constexpr int16_t kFixedPiece = 483;             // 'SND' a piece of the starting picture
inline constexpr int16_t kExamplePictures = 100;        // 'PLS' 100 + set + n: example n
inline constexpr int16_t kLargePieces = 10;             // 'PN#' 10 + kind: edges of 32; 'PLS' the tray
inline constexpr int16_t kSmallPieces = 20;             // 'PN#' 20 + kind: edges of 24; 'PLS' the tray

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},
    {"PAL", kBackground},
    {"SND", kIntroduction},
    {"IN#", kChooserTable},
    {"IN#", kLevelTable},
    {"SND", kTaskPrompt}, {"SND", kTaskPrompt + 1}, {"SND", kAfterPrompt},
    {"SND", kPieceNames + 0}, {"SND", kPieceNames + 1}, {"SND", kPieceNames + 2},
    {"SND", kPieceNames + 3}, {"SND", kPieceNames + 4}, {"SND", kPieceNames + 5},
    {"SND", kAlreadyThere}, {"SND", kFixedPiece},
    {"PLS", kLargePieces}, {"PLS", kSmallPieces},
    {"PLS", kExamplePictures + kLargePieces + 0}, {"PLS", kExamplePictures + kLargePieces + 1},
    {"PLS", kExamplePictures + kLargePieces + 2}, {"PLS", kExamplePictures + kSmallPieces + 0},
    {"PLS", kExamplePictures + kSmallPieces + 1}, {"PLS", kExamplePictures + kSmallPieces + 2},
    {"SPR", kLevelChooserPictures},
    {"SPR", kGuideBarVertical},
    {"SPR", kGuideBarHorizontal},
    {"SPR", kReferenceBoard},
    {"SPR", kSolutionMarker},
    {"SPR", kPatterns + 0}, {"SPR", kPatterns + 1}, {"SPR", kPatterns + 2}, {"SPR", kPatterns + 3},
    {"SPR", kPatterns + 4}, {"SPR", kPatterns + 5}, {"SPR", kPatterns + 6}, {"SPR", kPatterns + 7},
    {"SPR", kMarkedPatterns + 0}, {"SPR", kMarkedPatterns + 1}, {"SPR", kMarkedPatterns + 2},
    {"SPR", kMarkedPatterns + 3}, {"SPR", kMarkedPatterns + 4}, {"SPR", kMarkedPatterns + 5},
    {"SPR", kMarkedPatterns + 6}, {"SPR", kMarkedPatterns + 7},
    {"PN#", kLargePieces + 0}, {"PN#", kLargePieces + 1}, {"PN#", kLargePieces + 2},
    {"PN#", kLargePieces + 3}, {"PN#", kLargePieces + 4}, {"PN#", kLargePieces + 5},
    {"PN#", kSmallPieces + 0}, {"PN#", kSmallPieces + 1}, {"PN#", kSmallPieces + 2},
    {"PN#", kSmallPieces + 3}, {"PN#", kSmallPieces + 4}, {"PN#", kSmallPieces + 5},
};

}  // namespace shapes
