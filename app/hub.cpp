#include "app/hub.h"

#include <memory>
#include <string>

#include "app/item_chooser.h"
#include "engine/core/cor_engine.h"
#include "engine/core/launcher.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_options.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/waits.h"
#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/text/text_block.h"

namespace {

constexpr int16_t kNoPicture = 2;
// An ambient animation starts 180 to 599 ticks after the one before.
constexpr uint32_t kAmbientGap = 180;
constexpr int16_t kAmbientSpread = 420;
// The name font's arguments: its size value and spacing.
constexpr uint16_t kNameFontSize = 18, kNameFontSpacing = 1;
constexpr int16_t kLauncherNameSize = 20;

std::array<CCorAnim*, 5> gEntrances{};
CCorAnim* gBoard = nullptr;
CCorAnim* gSignA = nullptr;
CCorAnim* gSignB = nullptr;
CCorAnim* gLeave = nullptr;
std::array<CCorAnim*, kHubAmbientCarriers> gAmbient{};

bool gFirstEntry = true;
uint32_t gNextAmbient = 0;
int16_t gLastGroup = -1;

std::unique_ptr<CCorStyledString> gName;
std::unique_ptr<CBitmapFont> gFont;
std::unique_ptr<CTextBlock> gNameBlock;

HubChooserOpener gOpener = nullptr;

void ScheduleAmbient() { gNextAmbient = GetEngineTicks() + kAmbientGap + static_cast<uint32_t>(Random(kAmbientSpread)); }

void Dispose(CCorAnim*& sprite) {
    DisposeSprite(sprite);
    sprite = nullptr;
}

// A carrier holds up the hub while its script runs; an endless or held one never ends by
// itself, so it is stopped rather than waited for (a damaged script cannot hang the game).
bool CarrierRunning(CCorAnim* carrier) {
    const int16_t status = GetSpriteStatus(carrier);
    if (status == -1 || status == -2) StopSprite(carrier);
    return status == 0;
}

// Steps the game until none of the carriers runs and, when asked, no sound plays; a close of
// the program ends the wait at once. False when the close ended it.
template <size_t N>
bool WaitForCarriers(const std::array<CCorAnim*, N>& carriers, size_t count, bool sounds) {
    for (;;) {
        if (theEngine && theEngine->ClosePending()) return false;
        bool running = false;
        for (size_t i = 0; i < count; ++i) running |= CarrierRunning(carriers[i]);
        if (!running && !(sounds && IsSndPlaying(-1))) return true;
        Delay(0);
    }
}

// Stops every sound and script and empties the ambient carriers.
void ResetAmbient() {
    StopAllSnds();
    StopSprite(kAllSprites);
    for (CCorAnim* carrier : gAmbient) QueueSpriteFrameNoWait(carrier, kNoPicture);
}

void AddScanTargets() {
    ClearScanTargets();
    for (CCorAnim* sprite : {gEntrances[3], gBoard, gEntrances[2], gLeave}) AddScanSprite(-1, sprite, 0, 0, 1, 1);
}

void ShowName(const CCorString& name) {
    if (!HubNameFeatureOn()) return;
    ScheduleAmbient();
    QueueSpriteFrameAt(gSignA, kHubSignA, kHubSignAX, kHubSignAY);
    QueueSpriteFrameAt(gSignB, kHubSignB, kHubSignBX, kHubSignBY);
    if (!gName) gName = std::make_unique<CCorStyledString>();
    gName->AssignString(name);
    if (!gFont) gFont = std::make_unique<CBitmapFont>(kHubNameFont, kNameFontSize, kNameFontSpacing);
    if (!gNameBlock) {
        const CCorRect box{0, 0, gFont->PictureWidth(kHubSignA), gFont->PictureHeight(kHubSignA)};
        gNameBlock = std::make_unique<CTextBlock>(gName.get(), gFont.get(), CCorPoint{kHubNameX, kHubNameY}, box,
                                                  kJustifyCentre, 0);
    } else {
        MoveSpriteInPicture(static_cast<CCorAnim*>(gNameBlock->Sprite()), kHubNameX, kHubNameY);
        gNameBlock->Relayout();
    }
}

void OpenGameChooser(ModuleFunctionTable* table, int16_t layoutId, HubNameCallback done) {
    CItemChooser::Open(table, layoutId, done);
}

void OpenPlayerChooser() {
    if (!HubNameFeatureOn()) return;
    gNextAmbient = 0;
    (gOpener ? gOpener : OpenGameChooser)(HubModuleTable(), kHubChooserLayout, HubShowPlayerName);
}

void Enter() {
    ShowNavButtonRight(0);
    ShowNavButtonLeft(0);
    for (size_t i = 0; i < gEntrances.size(); ++i)
        gEntrances[i] = CreateSprite(kHubEntrances[i].x, kHubEntrances[i].y, kHubEntrances[i].id);
    const bool feature = HubNameFeatureOn();
    gBoard = feature ? CreateSprite(kHubBoardX, kHubBoardY, kHubBoard) : CreateSprite(0, 0, kNoPicture);
    gSignA = CreateSprite(0, 0, kNoPicture);
    gSignB = CreateSprite(0, 0, kNoPicture);
    for (CCorAnim*& carrier : gAmbient) carrier = CreateSprite(0, 0, kNoPicture);
    const bool launcher = IsLauncherMode() != 0;
    if (launcher) {
        gLeave = CreateSprite(kHubExitX, kHubLauncherExitY, kHubLauncherExit);
    } else if (GetPrefsOption0C() == 0) {
        gLeave = CreateSprite(kHubExitX, kHubLauncherExitY, kNoPicture);
        StampPicture(kHubHedge, 0, kHubHedgeY);
    } else {
        gLeave = CreateSprite(kHubExitX, kHubExitY, kHubExit);
    }
    if (gFirstEntry && !launcher) {
        EngineSuspendScan();
        gNextAmbient = 0;
    } else {
        std::string name;
        if (launcher) {
            char buffer[kLauncherNameSize] = {};
            GetLauncherUserPath(buffer, sizeof buffer, nullptr, 0);
            name = buffer;
        } else if (feature) {
            name = GetAppPrefs().GetCurrentUser();
        }
        if (feature) ShowName(CCorString(name.c_str()));
        AddScanTargets();
        ScheduleAmbient();
    }
    RedrawArea(0);
}

void Start() {
    if (gFirstEntry && IsLauncherMode() == 0) {
        GetAppPrefs().GetCurrentUser();
        LoadPlayerPrefs();
        const int16_t channel = PlaySnd(kHubWelcome, 0);
        if (HubNameFeatureOn()) PlaySnd(kHubWhoPlays, channel);
        FlushEvents(0xFFFF);
        // A release of the mouse button ends the greeting; it stays queued for the chooser.
        while (channel > 0 && IsSndPlaying(channel) && !(theEngine && theEngine->ClosePending())) {
            Delay(0);
            if (IsMouseUpPending(0)) {
                StopAllSnds();
                break;
            }
        }
        OpenPlayerChooser();
    }
    gFirstEntry = false;
}

void Tick() {
    const uint32_t now = GetEngineTicks();
    if (gNextAmbient == 0 || static_cast<int32_t>(now - gNextAmbient) < 0 || GetSpriteStatus(kAllSprites) == 0) return;
    int16_t group = 0;
    do {
        group = Random(static_cast<int16_t>(std::size(kHubAmbientGroups)));
    } while (group == gLastGroup);
    gLastGroup = group;
    const HubAmbientGroup& g = kHubAmbientGroups[group];
    PreloadAnimation(g.preload);
    for (int16_t i = 0; i < g.animCount; ++i) SetSpriteAnim(gAmbient[static_cast<size_t>(g.firstCarrier + i)], g.anims[i]);
    ScheduleAmbient();
}

void KeyDown(int32_t) {}

// Plays the animations on carriers of their own, made now and disposed of once they and every
// sound have ended. False when a close of the program ended the wait.
bool PlayOnCarriers(const int16_t* anims, int16_t count, int16_t preload) {
    StopAllSnds();
    std::array<CCorAnim*, 5> carriers{};
    for (int16_t i = 0; i < count; ++i) carriers[static_cast<size_t>(i)] = CreateSprite(0, 0, kNoPicture);
    if (preload > 0) PreloadAnimation(preload);
    for (int16_t i = 0; i < count; ++i) SetSpriteAnim(carriers[static_cast<size_t>(i)], anims[i]);
    const bool ended = WaitForCarriers(carriers, static_cast<size_t>(count), true);
    for (CCorAnim*& carrier : carriers) Dispose(carrier);
    return ended;
}

int16_t OnAnimClicked(CCorAnim* sprite, int16_t id) {
    ResetAmbient();
    if (sprite != nullptr && sprite == gLeave) {
        if (TrackButton(sprite, static_cast<int16_t>(id + 1), id)) {
            QueueSpriteFrameNoWait(sprite, id);
            WaitSpriteDone(sprite);
            EngineLeaveModule();
        }
        return 1;
    }
    if (IsLauncherMode() == 0 && sprite != nullptr && (sprite == gBoard || sprite == gSignA || sprite == gSignB)) {
        gNameBlock.reset();
        SetSpriteAnim(gSignA, kHubSignAAway);
        SetSpriteAnim(gSignB, kHubSignBAway);
        if (!WaitForCarriers(std::array<CCorAnim*, 2>{gSignA, gSignB}, 2, false)) return 1;
        OpenPlayerChooser();
        return 1;
    }
    for (size_t i = 0; i < gEntrances.size(); ++i) {
        const HubEntrance& in = kHubEntrances[i];
        if (id != in.id) continue;
        gNextAmbient = 0;
        if (PlayOnCarriers(in.anims.data(), in.animCount, in.preload)) EngineRunCommand(static_cast<int16_t>(in.module));
        return 1;
    }
    if (id == kHubBalloon) {
        const int16_t pop[] = {kHubPopAnim};
        PlayOnCarriers(pop, 1, 0);
        return 1;
    }
    return 0;
}

void Leave() {
    gNameBlock.reset();
    gName.reset();
    gFont.reset();
    Dispose(gLeave);
    for (CCorAnim*& sprite : gEntrances) Dispose(sprite);
    Dispose(gBoard);
    Dispose(gSignA);
    Dispose(gSignB);
    for (CCorAnim*& carrier : gAmbient) Dispose(carrier);
}

void Notify(int32_t code) {
    if (code == kModuleNotifyScanOn) AddScanTargets();
}

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.Start = Start;
    t.Tick = Tick;
    t.KeyDown = KeyDown;
    t.OnAnimClicked = OnAnimClicked;
    t.Leave = Leave;
    t.Notify = Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* HubModuleTable() { return &gTable; }

bool HubNameFeatureOn() {
    uint16_t codes[kPhraseSize] = {};
    BuildPhrase(codes, kHubFeatureTemplate, 0, 0, 0, 0, 0);
    return codes[2] == 1;
}

void HubShowPlayerName(const CCorString& name) { ShowName(name); }

HubScene HubSceneNow() {
    HubScene s;
    s.entrances = gEntrances;
    s.board = gBoard;
    s.signA = gSignA;
    s.signB = gSignB;
    s.leave = gLeave;
    s.ambient = gAmbient;
    s.nameSprite = gNameBlock ? static_cast<CCorAnim*>(gNameBlock->Sprite()) : nullptr;
    s.namePicture = gNameBlock ? gNameBlock->PictureId() : int16_t{-1};
    s.nameString = gName != nullptr;
    s.nameFont = gFont != nullptr;
    s.nextAmbientTick = gNextAmbient;
    s.lastAmbientGroup = gLastGroup;
    s.firstEntry = gFirstEntry;
    return s;
}

void ResetHubForRun(bool firstEntry) {
    gFirstEntry = firstEntry;
    gNextAmbient = 0;
    gLastGroup = -1;
}

HubChooserOpener SetHubChooserOpener(HubChooserOpener opener) {
    const HubChooserOpener before = gOpener;
    gOpener = opener;
    return before;
}
