// The resources of Zelbo2.res that the Duravod activity names, module-relative. Every id the
// activity uses is here and in kIds, which data/Zelbo2/duravod_ids_test.cpp finds in the built
// file. Picture 2 is "no picture": the file has none, so a sprite showing it shows nothing.
#pragma once

#include <cstdint>

#include "media/res/res_id_list.h"

namespace duravod {

inline constexpr int16_t kBackground = 0;               // 'SPR' the screen, 'PAL' its palette
inline constexpr int16_t kIntroduction = 990;           // 'SND'
inline constexpr int16_t kLevelTable = 60;              // 'IN#' the level chooser's layout
inline constexpr int16_t kLevelChooserPictures = 60;    // 'SPR' the chooser's first picture
inline constexpr int16_t kProblemLevels = 61;           // 'IN#' the levels' kinds and ranges
inline constexpr int16_t kPromptSwitches = 500;         // 'IPA' the prompt style's switches
inline constexpr int16_t kSayProduct = 155;             // 'IPA' rows, columns, product
inline constexpr int16_t kSayProductFlagged = 156;

inline constexpr int16_t kNoPicture = 2;

// The scene: pictures ('SPR'), animations ('ANI', 'AN_'), lists ('IN#') and sounds ('SND').
inline constexpr int16_t kCurtain = 15;                 // closes over the visitor's way
inline constexpr int16_t kTitleBanner = 20;             // 'SPR' and the banner's 'ANI'
inline constexpr int16_t kIntroBanner = 20;
inline constexpr int16_t kIntroHatch = 22;              // 'ANI' and 'AN_'
inline constexpr int16_t kTitleSmall = 30;
inline constexpr int16_t kHandCursor = 31;
inline constexpr int16_t kPointingHand = 90;            // 90 to 93
inline constexpr int16_t kBarB = 117;                   // the lower bar of free play
inline constexpr int16_t kBarA = 118;                   // of problem mode
inline constexpr int16_t kTray = 120;
inline constexpr int16_t kRouteBCompanion = 190;        // 'ANI' 190 in, 191 out; 'AN_' 190
inline constexpr int16_t kGesture = 260;                // + 3v + 0..2
inline constexpr int16_t kPuff = 275;                   // + v
inline constexpr int16_t kHatchIdles = 400;             // 'IN#'
inline constexpr int16_t kHatchRewards = 401;           // 'IN#'
inline constexpr int16_t kHatchHello = 412;             // 'ANI' and 'AN_'
inline constexpr int16_t kRewardWithSecond = 425;       // 'ANI': a second sprite plays 426
inline constexpr int16_t kRewardSecond = 426;
inline constexpr int16_t kModeButton = 531;             // + 2i, lit + 1
inline constexpr int16_t kVisitorLeft = 550;            // + look: standing on side 1
inline constexpr int16_t kVisitorRight = 555;           // + look: standing on side 2
inline constexpr int16_t kTitleIn = 640;                // 'ANI'
inline constexpr int16_t kTitleOut = 641;               // 'ANI'
inline constexpr int16_t kRouteAPreload = 900;          // 'ANI' 900 to 905, 'AN_' 900
inline constexpr int16_t kGreetingFirst = 49;           // 'SND' 49 to 51
inline constexpr int16_t kGreetingVisitor = 52;
inline constexpr int16_t kGreetingEnd = 53;             // 53 to 55
inline constexpr int16_t kGreetingDrum = 56;            // 56, 57
inline constexpr int16_t kGreetingLast = 58;
inline constexpr int16_t kGreetingBin = 60;
inline constexpr int16_t kGreetingPaints = 75;
inline constexpr int16_t kPointSound = 101;
inline constexpr int16_t kGestureSound = 109;
inline constexpr int16_t kPuffSound = 114;
inline constexpr int16_t kDrumSound = 126;
inline constexpr int16_t kHint = 300;                   // 300, 301

// Pictures ('SPR').
inline constexpr int16_t kHomePicture = 100;
inline constexpr int16_t kHomePressed = 101;
inline constexpr int16_t kLevelPicture = 102;
inline constexpr int16_t kLevelPressed = 103;
inline constexpr int16_t kPanelButtonPressed = 104;
inline constexpr int16_t kPanelNarrow = 106;            // the problem panel: one line
inline constexpr int16_t kPanelWide = 107;              // several lines
inline constexpr int16_t kPanelFreePlay = 108;
inline constexpr int16_t kSidePicture = 110;
inline constexpr int16_t kBinClosed = 122;              // the bin: closed (its box is the hit box)
inline constexpr int16_t kBinHalfOpen = 123;
inline constexpr int16_t kBinOpen = 124;
inline constexpr int16_t kBinClosing = 125;
inline constexpr int16_t kButtonShelf = 128;
inline constexpr int16_t kRowsPlus = 145;               // the grid's buttons; pressed: + 1
inline constexpr int16_t kRowsMinus = 147;
inline constexpr int16_t kColumnsPlus = 149;
inline constexpr int16_t kColumnsMinus = 151;
inline constexpr int16_t kColumnRulerTop = 156;
inline constexpr int16_t kColumnRulerBottom = 157;
inline constexpr int16_t kRowRulerRight = 158;
inline constexpr int16_t kRowRulerLeft = 159;
inline constexpr int16_t kLabelDigit = 220;             // + d: the grid's label digits
inline constexpr int16_t kPaintHeld = 130;              // + paint: the button while held
inline constexpr int16_t kPaintTaking = 135;            // + paint: the button while it takes a click
inline constexpr int16_t kPaintButton = 140;            // + paint: 140 to 144, the fifth mixed
inline constexpr int16_t kPiece = 200;                  // + look 0 to 3: a ball
inline constexpr int16_t kWinkPiece = 330;              // + look 0 to 3: a ball that winks
inline constexpr int16_t kEquationBox = 340;
inline constexpr int16_t kHatchPicture = 400;
inline constexpr int16_t kButtonLoop = 40;              // 'SPR' and its loop 'ANI'
inline constexpr int16_t kHatchClosed = 600;
inline constexpr int16_t kFace = 675;
inline constexpr int16_t kFirstMouth = 676;             // 676 to 678
inline constexpr int16_t kFirstExpression = 680;        // 680 to 685
inline constexpr int16_t kTalkPreload = 670;            // 'AN_'

// Sounds ('SND').
inline constexpr int16_t kFreePlaySaid = 81;
inline constexpr int16_t kLevelButtonSound = 102;
inline constexpr int16_t kButtonSound = 125;
inline constexpr int16_t kBinOpenSound = 105;
inline constexpr int16_t kIntoBinSound = 105;
inline constexpr int16_t kBinCloseSound = 106;
inline constexpr int16_t kAlreadyPainted = 99;
inline constexpr int16_t kPaintSound = 108;
inline constexpr int16_t kTooManyGroups = 308;
inline constexpr int16_t kTooFewGroups = 309;
inline constexpr int16_t kTooMany = 313;
inline constexpr int16_t kTooFew = 314;
inline constexpr int16_t kTooFewCountCarefully = 316;
inline constexpr int16_t kTooManyCountCarefully = 317;
inline constexpr int16_t kTryAgain = 318;
inline constexpr int16_t kLookAgain = 383;
inline constexpr int16_t kFirstPraise = 600;            // 600 to 603
inline constexpr int16_t kFirstLevelPraise = 610;       // 610 to 612
inline constexpr int16_t kFirstFreePlayWord = 620;      // 620 to 622
inline constexpr int16_t kFirstCheer = 591;             // 591 to 594

// The introduction of each kind (index 1 to 8).
inline constexpr int16_t kKindIntroductions[9] = {0, 310, 440, 371, 340, 328, 388, 408, 422};
inline constexpr int16_t kGridRowsIntroduction = 431;
inline constexpr int16_t kGridColumnsIntroduction = 433;

inline constexpr media::ResIdRef kIds[] = {
    {"SPR", kBackground},
    {"PAL", kBackground},
    {"SND", kIntroduction},
    {"IN#", kLevelTable},
    {"SPR", kLevelChooserPictures},
    {"IN#", kProblemLevels},
    {"IPA", kPromptSwitches},
    {"SPR", kCurtain}, {"SPR", kTitleBanner}, {"SPR", kTitleSmall}, {"SPR", kHandCursor},
    {"SPR", 90}, {"SPR", 91}, {"SPR", 92}, {"SPR", 93}, {"SPR", kBarB}, {"SPR", kBarA},
    {"SPR", 111}, {"SPR", 112}, {"SPR", 113}, {"SPR", kTray}, {"SPR", 121},
    {"SPR", 531}, {"SPR", 532}, {"SPR", 533}, {"SPR", 534}, {"SPR", 535}, {"SPR", 536},
    {"SPR", 550}, {"SPR", 551}, {"SPR", 552}, {"SPR", 553}, {"SPR", 554},
    {"SPR", 555}, {"SPR", 556}, {"SPR", 557}, {"SPR", 558}, {"SPR", 559},
    {"SPR", 260}, {"SPR", 261}, {"SPR", 262}, {"SPR", 263}, {"SPR", 264}, {"SPR", 265}, {"SPR", 266},
    {"SPR", 267}, {"SPR", 268}, {"SPR", 269}, {"SPR", 270}, {"SPR", 271}, {"SPR", 272}, {"SPR", 273},
    {"SPR", 274}, {"SPR", 275}, {"SPR", 276}, {"SPR", 277}, {"SPR", 278}, {"SPR", 279},
    {"ANI", 20}, {"ANI", 22}, {"AN_", 22}, {"ANI", 280}, {"ANI", 281}, {"ANI", 294}, {"ANI", 295},
    {"ANI", 309}, {"ANI", 310}, {"ANI", 412}, {"AN_", 412}, {"ANI", 425}, {"ANI", 426},
    {"ANI", 640}, {"ANI", 641}, {"ANI", 923}, {"ANI", 924}, {"ANI", 937}, {"ANI", 938},
    {"ANI", 900}, {"ANI", 901}, {"ANI", 902}, {"ANI", 903}, {"ANI", 904}, {"ANI", 905}, {"AN_", 900},
    {"ANI", 910}, {"ANI", 911}, {"ANI", 912}, {"ANI", 913}, {"ANI", 914},
    {"ANI", 915}, {"ANI", 916}, {"ANI", 917}, {"ANI", 918}, {"ANI", 919},
    {"AN_", 160}, {"AN_", 166}, {"AN_", 172}, {"AN_", 178}, {"AN_", 184}, {"AN_", 190},
    {"ANI", 160}, {"ANI", 161}, {"ANI", 162}, {"ANI", 163}, {"ANI", 164}, {"ANI", 165}, {"ANI", 166}, {"ANI", 167},
    {"ANI", 168}, {"ANI", 169}, {"ANI", 170}, {"ANI", 171}, {"ANI", 172}, {"ANI", 173}, {"ANI", 174}, {"ANI", 175},
    {"ANI", 176}, {"ANI", 177}, {"ANI", 178}, {"ANI", 179}, {"ANI", 180}, {"ANI", 181}, {"ANI", 182}, {"ANI", 183},
    {"ANI", 184}, {"ANI", 185}, {"ANI", 186}, {"ANI", 187}, {"ANI", 188}, {"ANI", 189}, {"ANI", 190}, {"ANI", 191},
    {"IN#", kHatchIdles}, {"IN#", kHatchRewards},
    {"SND", 49}, {"SND", 50}, {"SND", 51}, {"SND", 52}, {"SND", 53}, {"SND", 54}, {"SND", 55},
    {"SND", 56}, {"SND", 57}, {"SND", 58}, {"SND", 60}, {"SND", 75}, {"SND", 300}, {"SND", 301},
    {"SND", kPointSound}, {"SND", kGestureSound}, {"SND", kPuffSound}, {"SND", kDrumSound},
    {"SPR", kHomePicture},
    {"SPR", kHomePressed},
    {"SPR", kLevelPicture},
    {"SPR", kLevelPressed},
    {"SPR", kPanelButtonPressed},
    {"SPR", kPanelNarrow}, {"SPR", kPanelWide}, {"SPR", kPanelFreePlay},
    {"SPR", kSidePicture},
    {"SPR", 145}, {"SPR", 146}, {"SPR", 147}, {"SPR", 148}, {"SPR", 149}, {"SPR", 150}, {"SPR", 151}, {"SPR", 152},
    {"SPR", 156}, {"SPR", 157}, {"SPR", 158}, {"SPR", 159},
    {"SPR", 220}, {"SPR", 221}, {"SPR", 222}, {"SPR", 223}, {"SPR", 224},
    {"SPR", 225}, {"SPR", 226}, {"SPR", 227}, {"SPR", 228}, {"SPR", 229},
    {"IPA", kSayProduct}, {"IPA", kSayProductFlagged},
    {"SPR", kBinClosed}, {"SPR", kBinHalfOpen}, {"SPR", kBinOpen}, {"SPR", kBinClosing},
    {"SPR", kButtonShelf},
    {"SPR", 130}, {"SPR", 131}, {"SPR", 132}, {"SPR", 133}, {"SPR", 134},
    {"SPR", 135}, {"SPR", 136}, {"SPR", 137}, {"SPR", 138}, {"SPR", 139},
    {"SPR", 140}, {"SPR", 141}, {"SPR", 142}, {"SPR", 143}, {"SPR", 144},
    {"SPR", 200}, {"SPR", 201}, {"SPR", 202}, {"SPR", 203},
    {"SPR", 330}, {"SPR", 331}, {"SPR", 332}, {"SPR", 333},
    {"SPR", kEquationBox},
    {"SPR", kHatchPicture},
    {"SPR", kButtonLoop},
    {"ANI", kButtonLoop},
    {"SPR", kHatchClosed},
    {"SPR", kFace},
    {"SPR", 676}, {"SPR", 677}, {"SPR", 678},
    {"SPR", 680}, {"SPR", 681}, {"SPR", 682}, {"SPR", 683}, {"SPR", 684}, {"SPR", 685},
    {"AN_", kTalkPreload},
    {"SND", kFreePlaySaid},
    {"SND", kLevelButtonSound},
    {"SND", kButtonSound},
    {"SND", kBinOpenSound},
    {"SND", kBinCloseSound},
    {"SND", kAlreadyPainted},
    {"SND", kPaintSound},
    {"SND", kTooManyGroups},
    {"SND", kTooFewGroups},
    {"SND", kTooMany},
    {"SND", kTooFew},
    {"SND", kTooFewCountCarefully},
    {"SND", kTooManyCountCarefully},
    {"SND", kTryAgain},
    {"SND", kLookAgain},
    {"SND", 600}, {"SND", 601}, {"SND", 602}, {"SND", 603},
    {"SND", 610}, {"SND", 611}, {"SND", 612},
    {"SND", 620}, {"SND", 621}, {"SND", 622},
    {"SND", 591}, {"SND", 592}, {"SND", 593}, {"SND", 594},
    {"SND", 310}, {"SND", 328}, {"SND", 340}, {"SND", 371}, {"SND", 388},
    {"SND", 408}, {"SND", 422}, {"SND", 431}, {"SND", 433}, {"SND", 440},
};

}  // namespace duravod
