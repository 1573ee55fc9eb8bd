// The hub (module 1): the fairground on which the game starts and to which every activity
// returns. Five entrances each play their animation and then switch to their activity; the
// first entry of a run greets the child and opens the player chooser; the chosen name hangs on
// a signboard; a random ambient animation plays every few seconds; a gate leaves the game.
// All hub state is module-level: there is one hub. Ids are module-relative.
#pragma once

#include <array>
#include <cstdint>

#include "engine/base/module_table.h"

class CCorAnim;
class CCorString;

inline constexpr int kHubModule = 1;

// An entrance: its picture and click id, where its top-left corner lies (picture coordinates),
// the 'AN_' list loaded before its animations, the animations its carriers play (in order)
// and the module it switches to.
struct HubEntrance {
    int16_t id;
    int16_t x, y;
    int16_t preload;
    std::array<int16_t, 5> anims;
    int16_t animCount;
    int module;
};
inline constexpr HubEntrance kHubEntrances[] = {
    {200, 0, 12, 200, {120, 121}, 2, 2},
    {300, 0, 241, 204, {130, 131}, 2, 3},
    {400, 421, 246, 203, {140, 141, 142, 144}, 4, 4},
    {500, 210, 0, 201, {150, 151, 152}, 3, 5},
    {600, 417, 36, 202, {160, 161, 162, 163, 164}, 5, 6},
};

// The balloon: any sprite showing it plays animation kHubPopAnim on a carrier of its own.
inline constexpr int16_t kHubBalloon = 800;
inline constexpr int16_t kHubPopAnim = 180;

// An ambient group: its 'AN_' list, the first of its carriers among the ambient sprites, and
// one animation per carrier.
struct HubAmbientGroup {
    int16_t preload;
    int16_t firstCarrier;
    std::array<int16_t, 6> anims;
    int16_t animCount;
};
inline constexpr HubAmbientGroup kHubAmbientGroups[] = {
    {205, 0, {122, 123}, 2},
    {206, 2, {153, 154}, 2},
    {207, 4, {165, 166, 167, 168}, 4},
    {208, 8, {145, 146, 147}, 3},
    {209, 11, {132, 133, 134, 135, 136, 137}, 6},
};
inline constexpr int kHubAmbientCarriers = 17;

// The scene's fixed pictures and places.
inline constexpr int16_t kHubBoard = 750, kHubBoardX = 263, kHubBoardY = 281;
inline constexpr int16_t kHubSignA = 727, kHubSignAX = 188, kHubSignAY = 379;
inline constexpr int16_t kHubSignB = 728, kHubSignBX = 297, kHubSignBY = 364;
inline constexpr int16_t kHubSignAAway = 173, kHubSignBAway = 175;
inline constexpr int16_t kHubNameX = 188, kHubNameY = 434;
inline constexpr int16_t kHubNameFont = 51;
inline constexpr int16_t kHubExit = 10, kHubLauncherExit = 12, kHubHedge = 15;
inline constexpr int16_t kHubExitX = 6, kHubExitY = 445, kHubLauncherExitY = 438, kHubHedgeY = 428;
inline constexpr int16_t kHubWelcome = 701, kHubWhoPlays = 700;
inline constexpr int16_t kHubFeatureTemplate = 500;
inline constexpr int16_t kHubChooserLayout = 101;

// The hub's function table: entries 0, 2, 6, 7, 9, 14 and 15.
ModuleFunctionTable* HubModuleTable();

// Whether the player-name feature is on: the third code of phrase template 500 is 1.
bool HubNameFeatureOn();

// The chooser's callback: hangs the signboard with the name on it (the feature on only) and
// schedules the ambient animations.
void HubShowPlayerName(const CCorString& name);

// What the hub holds while it is entered, for tests: null where nothing is made.
struct HubScene {
    std::array<CCorAnim*, 5> entrances{};
    CCorAnim* board = nullptr;
    CCorAnim* signA = nullptr;
    CCorAnim* signB = nullptr;
    CCorAnim* leave = nullptr;
    std::array<CCorAnim*, kHubAmbientCarriers> ambient{};
    CCorAnim* nameSprite = nullptr;
    int16_t namePicture = -1;  // the picture the name is drawn in (module-relative), -1: none
    bool nameString = false;
    bool nameFont = false;
    uint32_t nextAmbientTick = 0;
    int16_t lastAmbientGroup = -1;
    bool firstEntry = false;
};
HubScene HubSceneNow();
// The state of a new run: the next entry is a first entry (the flag is set at program start;
// tests may clear it), no ambient animation is scheduled or has played.
void ResetHubForRun(bool firstEntry = true);

// How the hub opens the player chooser on its own table (layout, callback). Tests may install
// another; null: the game's chooser. Returns the one installed before.
using HubNameCallback = void (*)(const CCorString& name);
using HubChooserOpener = void (*)(ModuleFunctionTable* table, int16_t layoutId, HubNameCallback done);
HubChooserOpener SetHubChooserOpener(HubChooserOpener opener);
