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
inline constexpr int16_t kProblemLevels = 0;            // 'LVL' the question board's level table

inline constexpr int16_t kPicNone = 2;  // "no picture": the file has no picture 2

// Blocks, by column (hundreds, tens, ones): at rest, flying, landing (644 the hundreds' settling
// and returning form), and their scripts and sounds.
inline constexpr int16_t kPicItemRest[3] = {653, 652, 651};
inline constexpr int16_t kPicItemFlying[3] = {645, 633, 623};
inline constexpr int16_t kPicItemLanding[3] = {646, 633, 622};
inline constexpr int16_t kPicHundredsSettling = 644;
inline constexpr int16_t kItemPictureBase = 600;  // + 51 ones, + 52 tens, + 53 hundreds
inline constexpr int16_t kAnimItemLanding[3] = {79, 80, 81};
inline constexpr int16_t kAnimItemReturn[3] = {82, 83, 84};
inline constexpr int16_t kSndItemLanding[3] = {479, 471, 463};  // + Random (8)
inline constexpr int16_t kSndItemLeaves[3] = {415, 416, 417};

// Item boxes: all three shown, the single tens and ones boxes, marked; their animators'
// scripts as an item leaves and comes back, left and right.
inline constexpr int16_t kPicBox[3] = {110, 111, 112};
inline constexpr int16_t kPicTensBoxAlone = 108;
inline constexpr int16_t kPicOnesBoxAlone = 109;
inline constexpr int16_t kPicBoxMarkedFirst = 130, kPicBoxMarkedLast = 132;
inline constexpr int16_t kAnimBoxLeave[2][3] = {{10, 12, 14}, {11, 13, 15}};
inline constexpr int16_t kAnimBoxReturn[2][3] = {{17, 19, 21}, {18, 20, 22}};

// Cards and tiles: 20 + digit placed, 30 + digit given, 40 blank, 120 + digit a raised tile.
inline constexpr int16_t kPicCard = 20;
inline constexpr int16_t kPicFixedCard = 30;
inline constexpr int16_t kPicBlankCard = 40;
inline constexpr int16_t kPicRaisedTile = 120;
inline constexpr int16_t kPicPlus = 115, kPicMinus = 119;
inline constexpr int16_t kPicShadow = 19;
inline constexpr int16_t kPicLabel = 106, kPicLabelSelected = 107;
inline constexpr int16_t kPicCursor = 116;
inline constexpr int16_t kPicTray = 16;
inline constexpr int16_t kPicBackspace = 18;
inline constexpr int16_t kPicMark = 42, kPicMarkSelected = 43;

// Holders (left, right; + 4 compact), speakers, places buttons.
inline constexpr int16_t kPicHolder[2] = {301, 302};
inline constexpr int16_t kCompactHolderStep = 4;
inline constexpr int16_t kPicSpeaker[2] = {44, 45};
inline constexpr int16_t kPicPlacesButton[2] = {48, 49};
inline constexpr int16_t kAnimSpeaking = 110;

// The balance and the sign: pans 181 (high) .. 185 (low); 77 equal, 78 left larger, 79 left
// smaller, their fading forms 23 further on, 103 between 77 and 78, 104 between 77 and 79.
inline constexpr int16_t kPicPanHigh = 181, kPicPanLevel = 183, kPicPanLow = 185;
inline constexpr int16_t kPicEqual = 77, kPicLeftLarger = 78, kPicLeftSmaller = 79;
inline constexpr int16_t kFadingStep = 23;
inline constexpr int16_t kPicBetweenEqualLarger = 103, kPicBetweenEqualSmaller = 104;

// Relation buttons by kind: normal, pressed, third.
inline constexpr int16_t kPicRelation[3] = {267, 268, 269};
inline constexpr int16_t kPicRelationPressed[3] = {277, 278, 279};
inline constexpr int16_t kPicRelationThird[3] = {287, 288, 289};

// The bin and its scripts; the buttons.
inline constexpr int16_t kPicBin = 141;
inline constexpr int16_t kAnimBinOpen = 108, kAnimBinClose = 109;
inline constexpr int16_t kPicClear = 68, kPicClearPressed = 69, kPicClearBase = 73;
inline constexpr int16_t kPicCheckFirst = 51, kPicCheckLast = 55;

// Sounds and the phrase of a side's number.
inline constexpr int16_t kSndRefused = 241;
inline constexpr int16_t kSndClick = 404;
inline constexpr int16_t kSndHolder = 423;
inline constexpr int16_t kSndBeamAgain = 424, kSndBeam = 425;
inline constexpr int16_t kSndSignFree = 428, kSndSignQuestion = 429;
inline constexpr int16_t kSndIntoBin = 456;
inline constexpr int16_t kSndBundle = 460;
inline constexpr int16_t kSndBinCloses = 492, kSndBinOpens = 493;
inline constexpr int16_t kPhraseNumber = 150;

// The module's own controls: the exit (a gate arrow, pressed), the level button (a ladder,
// pressed), the decoration under them, the mode switch (a lever) and its two turning frames.
inline constexpr int16_t kPicExit = 11, kPicExitPressed = 12;
inline constexpr int16_t kPicLevelButton = 13, kPicLevelPressed = 15;
inline constexpr int16_t kPicDecoration = 14;
inline constexpr int16_t kPicSwitch = 65, kPicSwitchTurn1 = 66, kPicSwitchTurn2 = 67;
// Spots: 1 over the mode switch (never enabled), 5 the whole screen (drags, and the panels'
// clicks in answer mode 2).
inline constexpr int16_t kSpotModeSwitch = 1, kSpotPanels = 5;
// A side's expression spoken: "x plus y", "x minus y", with their word clips.
inline constexpr int16_t kPhrasePlus = 153, kPhraseMinus = 154;
inline constexpr int16_t kSndWordPlus = 151, kSndWordMinus = 152;
// The lever's clack, the clear button's wipe, the check button's click, the level button's bell.
inline constexpr int16_t kSndSwitch = 434, kSndWipe = 461, kSndCheck = 490, kSndLevelBell = 491;
// Preloaded as the question board starts.
inline constexpr int16_t kAnimBoards = 111;

// Every item the module names, for the data test: the compare game's ranges above, one by one.
inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground}, {"PAL", kBackground}, {"SND", kIntroduction}, {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures}, {"SPR", 622}, {"SPR", 623}, {"SPR", 633}, {"SPR", 644},
    {"SPR", 645}, {"SPR", 646}, {"SPR", 651}, {"SPR", 652}, {"SPR", 653}, {"SPR", 108},
    {"SPR", 109}, {"SPR", 110}, {"SPR", 111}, {"SPR", 112}, {"SPR", 130}, {"SPR", 131},
    {"SPR", 132}, {"SPR", 181}, {"SPR", 182}, {"SPR", 183}, {"SPR", 184}, {"SPR", 185},
    {"SPR", 19}, {"SPR", 20}, {"SPR", 21}, {"SPR", 22}, {"SPR", 23}, {"SPR", 24}, {"SPR", 25},
    {"SPR", 26}, {"SPR", 27}, {"SPR", 28}, {"SPR", 29}, {"SPR", 30}, {"SPR", 31}, {"SPR", 32},
    {"SPR", 33}, {"SPR", 34}, {"SPR", 35}, {"SPR", 36}, {"SPR", 37}, {"SPR", 38}, {"SPR", 39},
    {"SPR", 40}, {"SPR", 106}, {"SPR", 107}, {"SPR", 115}, {"SPR", 116}, {"SPR", 119},
    {"SPR", 120}, {"SPR", 121}, {"SPR", 122}, {"SPR", 123}, {"SPR", 124}, {"SPR", 125},
    {"SPR", 126}, {"SPR", 127}, {"SPR", 128}, {"SPR", 129}, {"SPR", 16}, {"SPR", 18}, {"SPR", 301},
    {"SPR", 302}, {"SPR", 305}, {"SPR", 306}, {"SPR", 44}, {"SPR", 45}, {"SPR", 48}, {"SPR", 49},
    {"SPR", 77}, {"SPR", 78}, {"SPR", 79}, {"SPR", 100}, {"SPR", 101}, {"SPR", 102}, {"SPR", 103},
    {"SPR", 104}, {"SPR", 267}, {"SPR", 268}, {"SPR", 269}, {"SPR", 277}, {"SPR", 278},
    {"SPR", 279}, {"SPR", 287}, {"SPR", 288}, {"SPR", 289}, {"SPR", 42}, {"SPR", 43}, {"SPR", 141},
    {"SPR", 51}, {"SPR", 52}, {"SPR", 53}, {"SPR", 54}, {"SPR", 55}, {"SPR", 68}, {"SPR", 69},
    {"SPR", 73}, {"ANI", 2}, {"ANI", 3}, {"ANI", 6}, {"ANI", 9}, {"ANI", 10}, {"ANI", 11},
    {"ANI", 12}, {"ANI", 13}, {"ANI", 14}, {"ANI", 15}, {"ANI", 17}, {"ANI", 18}, {"ANI", 19},
    {"ANI", 20}, {"ANI", 21}, {"ANI", 22}, {"ANI", 79}, {"ANI", 80}, {"ANI", 81}, {"ANI", 82},
    {"ANI", 83}, {"ANI", 84}, {"ANI", 108}, {"ANI", 109}, {"ANI", 110}, {"AN_", 2}, {"AN_", 3},
    {"AN_", 6}, {"AN_", 9}, {"AN_", 10}, {"AN_", 11}, {"AN_", 12}, {"AN_", 13}, {"AN_", 14},
    {"AN_", 15}, {"AN_", 17}, {"AN_", 18}, {"AN_", 19}, {"AN_", 20}, {"AN_", 21}, {"AN_", 22},
    {"AN_", 79}, {"AN_", 80}, {"AN_", 81}, {"AN_", 82}, {"AN_", 83}, {"AN_", 84}, {"AN_", 108},
    {"AN_", 109}, {"AN_", 110}, {"SND", 241}, {"SND", 404}, {"SND", 415}, {"SND", 416},
    {"SND", 417}, {"SND", 423}, {"SND", 424}, {"SND", 425}, {"SND", 428}, {"SND", 429},
    {"SND", 456}, {"SND", 460}, {"SND", 463}, {"SND", 464}, {"SND", 465}, {"SND", 466},
    {"SND", 467}, {"SND", 468}, {"SND", 469}, {"SND", 470}, {"SND", 471}, {"SND", 472},
    {"SND", 473}, {"SND", 474}, {"SND", 475}, {"SND", 476}, {"SND", 477}, {"SND", 478},
    {"SND", 479}, {"SND", 480}, {"SND", 481}, {"SND", 482}, {"SND", 483}, {"SND", 484},
    {"SND", 485}, {"SND", 486}, {"SND", 492}, {"SND", 493}, {"IPA", 150}, {"SPT", 5},
    {"SPR", 11}, {"SPR", 12}, {"SPR", 13}, {"SPR", 14}, {"SPR", 15}, {"SPR", 65}, {"SPR", 66}, {"SPR", 67},
    {"SPT", 1}, {"IPA", 153}, {"IPA", 154}, {"SND", 151}, {"SND", 152}, {"SND", 434}, {"SND", 461},
    {"SND", 490}, {"SND", 491}, {"ANI", 111}, {"AN_", 111}, {"LVL", kProblemLevels},
};

}  // namespace vevudivodizide
