#include "activities/ruduridodu/presenter.h"

#include <array>
#include <memory>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/round_task.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/talk.h"
#include "engine/toolbox/waits.h"

namespace {

constexpr int16_t kNoPicture = 2;
constexpr int16_t kRestX = 88;
constexpr int16_t kRestY = 353;
constexpr int16_t kRestBody = 801;
constexpr int16_t kListenBody = 210;
constexpr int16_t kListenX = 93;
constexpr int16_t kListenY = 389;
constexpr int16_t kListenFace = 214;
constexpr int16_t kFirstEntrance = 150;
constexpr int16_t kEntrance = 148;
constexpr int16_t kExit = 790;
constexpr int16_t kListenAnim = 412;
constexpr int16_t kPieceMarker = 339;
constexpr int16_t kPieceHome = 102;  // the spot a dragged piece or car stays over
constexpr int16_t kPieceDrop = 737;

void WaitBoth(CCorAnim* a, CCorAnim* b) {
    WaitSpriteDone(a);
    WaitSpriteDone(b);
}

bool LevelMode() { return Module3::View().levelMode != 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// The presenter

CPresenter::CPresenter() {
    m_body = CreateSprite(0, 0, kNoPicture);
    m_talker = CreateSprite(kRestX, kRestY, kNoPicture);
}

CPresenter::~CPresenter() {
    DisposeSprite(m_talker);
    DisposeSprite(m_body);
}

void CPresenter::Enter(bool firstRound, CCorAnim* front) {
    if (front) PutSpriteBefore(m_body, front);
    const int16_t anim = firstRound ? kFirstEntrance : kEntrance;
    PreloadAnimation(anim);
    SetSpriteAnim(m_body, anim);
    MoveSpriteInPicture(m_body, kRestX, kRestY);
    WaitBoth(m_talker, m_body);
    Arrange();
}

void CPresenter::Leave() {
    QueueSpriteFrameNoWait(m_body, kRestBody);
    QueueSpriteFrameAt(m_talker, kNoPicture, 0, 490);
    PreloadAnimation(kExit);
    SetSpriteAnim(m_body, kExit);
    WaitBoth(m_talker, m_body);
    QueueSpriteFrameAt(m_body, kNoPicture, 0, 490);
    WaitSpriteDone(m_body);
}

void CPresenter::Rest() {
    QueueSpriteFrameAt(m_body, kRestBody, kRestX, kRestY);
    QueueSpriteFrameAt(m_talker, kNoPicture, kRestX, kRestY);
    WaitBoth(m_body, m_talker);
}

void CPresenter::Listen() {
    QueueSpriteFrameAt(m_body, kListenBody, kListenX, kListenY);
    QueueSpriteFrameAt(m_talker, kListenFace, kRestX, kRestY);
    PreloadAnimation(kListenAnim);
    WaitBoth(m_body, m_talker);
}

void CPresenter::Act(int16_t anim) {
    QueueSpriteFrameNoWait(m_body, kRestBody);
    QueueSpriteFrameAt(m_talker, kNoPicture, 0, 490);
    PreloadAnimation(anim);
    SetSpriteAnim(m_body, anim);
    WaitBoth(m_body, m_talker);
    Rest();
}

void CPresenter::IdleAct() { Act(static_cast<int16_t>(400 + RandomBelow(51) % 4)); }

void CPresenter::PraiseAct() { Act(static_cast<int16_t>(404 + RandomBelow(51) % 3)); }

void CPresenter::LongIdleAct() {
    const int16_t anim = static_cast<int16_t>(409 + m_longIdleTurn % 3);
    m_longIdleTurn = static_cast<int16_t>((m_longIdleTurn + 1) % 3000);
    Act(anim);
}

void CPresenter::Arrange() {
    SpriteToFront(m_talker);
    PutSpriteBefore(m_body, m_talker);
}

int16_t CPresenter::OnClick() {
    Module3::SetReady(false);
    if (LevelMode()) {
        Listen();
        if (CRoundTask* round = Module3::CurrentRound()) round->RepeatPrompt();
        Rest();
    }
    Module3::SetReady(true);
    Module3::Touch();
    return 1;
}

int16_t CPresenter::Say(int16_t sound) {
    const int16_t list[2] = {sound, 0};
    if (!TalkWithCues(m_talker, 1, 1, nullptr, list)) return 1;
    StopAllSnds();
    if (LevelMode()) Rest();
    return 0;
}

int16_t CPresenter::PointAndSay(int16_t picture, int16_t sound) {
    QueueSpriteFrameNoWait(m_body, picture);
    return Say(sound);
}

int16_t CPresenter::SaySounds(int16_t n, const uint16_t* sounds) {
    for (int16_t i = 0; i < n && sounds; ++i) {
        const int16_t sound = static_cast<int16_t>(sounds[i]);
        if (sound <= 0) break;
        if (!Say(sound)) return 0;
    }
    return 1;
}

int16_t CPresenter::PointAndSaySounds(int16_t picture, int16_t n, const uint16_t* sounds) {
    QueueSpriteFrameNoWait(m_body, picture);
    return SaySounds(n, sounds);
}

int16_t CPresenter::SayEach(int16_t n, const uint16_t (*lists)[2]) {
    for (int16_t i = 0; i < n && lists; ++i) {
        const int16_t sound = static_cast<int16_t>(lists[i][0]);
        if (sound <= 0) continue;
        if (!Say(sound)) return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Waits

int16_t WaitSpriteOrClick(CCorAnim* sprite) {
    for (;;) {
        if (GetSpriteStatus(sprite) != 0 || WaitMustEnd()) return 0;
        Delay(0);
        if (IsClickPending(1)) {
            SkipSpriteScript(sprite);
            StopSprite(sprite);
            return 1;
        }
    }
}

int16_t WaitSoundsOrClick() {
    while (IsSndPlaying(-1) && !WaitMustEnd()) {
        Delay(0);
        if (IsClickPending(1)) {
            StopAllSnds();
            return 1;
        }
    }
    return 0;
}

int16_t WaitMoveOrClick(CCorAnim* sprite, int16_t x, int16_t y) {
    bool clicked = false;
    while (GetSpriteStatus(sprite) == 0 && !WaitMustEnd()) {
        Delay(0);
        if (IsClickPending(1)) {
            clicked = true;
            break;
        }
    }
    if (!clicked && !IsClickPending(1)) return 0;
    SkipSpriteScript(sprite);
    StopSprite(sprite);
    MoveSpriteInPicture(sprite, x, y);
    WaitSpriteDone(sprite);
    return 1;
}

void SpriteCentre(CCorAnim* sprite, int16_t picture, int16_t& x, int16_t& y) {
    x = y = 0;
    GetSpritePos(sprite, &x, &y);
    x = static_cast<int16_t>(x + GetPictureHalfWidth(picture));
    y = static_cast<int16_t>(y + GetPictureHalfHeight(picture));
}

// ---------------------------------------------------------------------------------------------
// The player pieces

CPlayerPiece::CPlayerPiece(int16_t index, CCorAnim* sprite, int16_t x, int16_t y)
    : m_homeX(x), m_homeY(y), m_sprite(sprite), m_player(index) {
    m_value = static_cast<int16_t>(GetSpriteFrame(sprite) - 400);
    m_category = static_cast<int16_t>(m_value / 10 * 10);
    m_marker = CreateSprite(x, y, kNoPicture);
}

CPlayerPiece::~CPlayerPiece() { DisposeSprite(m_marker); }

void CPlayerPiece::Forget() {
    QueueSpriteFrameNoWait(m_marker, kNoPicture);
    m_placed = 0;
}

void CPlayerPiece::Mark() {
    MoveSpriteInPicture(m_marker, m_homeX, m_homeY);
    PutSpriteBefore(m_marker, m_sprite);
    QueueSpriteFrameNoWait(m_marker, kPieceMarker);
    WaitSpriteDone(m_marker);
    m_placed = 1;
}

void CPlayerPiece::Unmark(bool goHome) {
    if (goHome) QueueSpriteFrameAt(m_sprite, static_cast<int16_t>(m_value + 400), m_homeX, m_homeY);
    QueueSpriteFrameNoWait(m_marker, kNoPicture);
    m_placed = 0;
}

void CPlayerPiece::Refresh(int16_t index) {
    m_value = static_cast<int16_t>(GetSpriteFrame(m_sprite) - 400);
    m_category = static_cast<int16_t>(m_value / 10 * 10);
    CRoundTask* round = Module3::CurrentRound();
    if (!round) return;
    for (int16_t c = 1; c <= 2; ++c) {
        CSlotTarget* ring = round->GetContainer(c);
        if (ring && ring->Holds() && ring->Value() == m_value) {
            SetSpriteAnim(m_sprite, static_cast<int16_t>(m_category + index + 306));
            Mark();
            QueueSpriteFrameNoWait(m_sprite, kNoPicture);
            return;
        }
    }
}

int16_t CPlayerPiece::OnClick() {
    Module3::SetReady(false);
    if (IsScanOn()) {
        SetScanHighlight(GetSpriteFrame(m_sprite), -30, -30);
        if (CRoundTask* round = Module3::CurrentRound()) {
            round->OnPiecePicked();
            round->SetPickedPiece(this);
        }
        Mark();
    } else if (!IsPlaced()) {
        Mark();
        Drag();
    }
    Module3::SetReady(true);
    Module3::Touch();
    return 1;
}

void CPlayerPiece::Drag() {
    StopAllSnds();
    SpriteToFront(m_sprite);
    EngineDragObject(m_sprite, kPieceHome, 0, 32767, nullptr);
    int16_t x = 0, y = 0;
    SpriteCentre(m_sprite, GetSpriteFrame(m_sprite), x, y);
    CRoundTask* round = Module3::CurrentRound();
    int16_t c = round ? round->ContainerAt(x, y) : int16_t{10};
    const int16_t b = round ? round->ContainerBoxAt(x, y) : int16_t{10};
    if (b == 1 || b == 2) c = b;
    if (c == 10 || c == 3) MoveSpriteInPicture(m_sprite, m_homeX, m_homeY);
    Settle(c);
}

void CPlayerPiece::DropAt(int16_t x, int16_t y) {
    CRoundTask* round = Module3::CurrentRound();
    Settle(round ? round->ContainerAt(x, y) : int16_t{10});
    if (round) round->SetPickedPiece(nullptr);
    SetScanHighlight(1, 0, 0);
}

void CPlayerPiece::Settle(int16_t container) {
    if (container == 10 || container == 3) {
        Unmark(true);
    } else if (container == 1 || container == 2) {
        QueueSpriteSoundReplace(m_sprite, kPieceDrop);
        if (CRoundTask* round = Module3::CurrentRound()) {
            round->PlacePiece(container, m_value, m_player);
            round->AfterPiece(container);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The two-player scene

namespace {

struct SceneSprite {
    int16_t arrival;
    int16_t departure;
};
// Scenery 1 to 7, the four pieces, scenery 8 and 9, in the order they are made.
constexpr std::array<SceneSprite, 13> kSceneSprites = {{{151, 251},
                                                         {152, 252},
                                                         {168, 268},
                                                         {153, 253},
                                                         {154, 254},
                                                         {155, 255},
                                                         {156, 256},
                                                         {157, 257},
                                                         {158, 258},
                                                         {159, 259},
                                                         {160, 260},
                                                         {161, 261},
                                                         {162, 262}}};
constexpr int kFirstPieceSprite = 7;
constexpr int kScenery3 = 2;
struct ButtonPlace {
    int16_t picture, x, y, markerPicture, markerX, markerY;
};
constexpr std::array<ButtonPlace, 4> kButtons = {{{321, 105, 25, 326, 100, 19},
                                                   {322, 131, 76, 327, 123, 72},
                                                   {323, 131, 2, 328, 122, 0},
                                                   {324, 180, 25, 329, 175, 19}}};
constexpr std::array<std::array<int16_t, 2>, 4> kPieceHomes = {{{426, 3}, {463, 60}, {500, 3}, {537, 60}}};
constexpr std::array<int16_t, 3> kVariantX = {532, 569, 606};

struct Scene {
    std::array<CCorAnim*, 13> sprites{};
    CCorAnim* marker = nullptr;
    std::array<CCorAnim*, 4> buttons{};
    CCorAnim* corner = nullptr;
    std::array<std::unique_ptr<CPlayerPiece>, 4> pieces;
    std::array<CCorAnim*, 3> variants{};
};
Scene scene;

void WaitAll() {
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(0);
}

// Every piece leaves its category: a placed piece loses its marker, the others play their
// category's closing animation.
void PiecesLeaveCategory(int16_t k) {
    for (int16_t i = 0; i < 4; ++i) {
        CPlayerPiece* piece = scene.pieces[static_cast<size_t>(i)].get();
        CCorAnim* sprite = scene.sprites[static_cast<size_t>(kFirstPieceSprite + i)];
        if (piece && piece->IsPlaced()) {
            QueueSpriteFrameNoWait(sprite, kPieceMarker);
            piece->Unmark(false);
        } else {
            SetSpriteAnim(sprite, static_cast<int16_t>(k + i + 306));
        }
        QueueSpriteWaitSound(sprite, 0);
    }
}

}  // namespace

int16_t CategoryOfMarker(int16_t picture) {
    return picture >= 326 && picture <= 329 ? static_cast<int16_t>((picture - 325) * 10) : int16_t{0};
}

int16_t SceneCategory() { return CategoryOfMarker(GetSpriteFrame(scene.marker)); }

CPlayerPiece* ScenePiece(int16_t i) { return i >= 0 && i < 4 ? scene.pieces[static_cast<size_t>(i)].get() : nullptr; }

CCorAnim* SceneVariantButton(int16_t i) { return i >= 0 && i < 3 ? scene.variants[static_cast<size_t>(i)] : nullptr; }

CCorAnim* SceneCategoryButton(int16_t i) { return i >= 0 && i < 4 ? scene.buttons[static_cast<size_t>(i)] : nullptr; }

void BuildTwoPlayerScene() {
    for (size_t i = 0; i < kSceneSprites.size(); ++i) scene.sprites[i] = CreateSprite(0, 0, kNoPicture);
    scene.marker = CreateSprite(0, 0, kNoPicture);
    for (CCorAnim*& button : scene.buttons) button = CreateSprite(0, 0, kNoPicture);
    scene.corner = CreateSprite(522, 454, 146);
    PreloadAnimation(300);
    for (size_t i = 0; i < kSceneSprites.size(); ++i) SetSpriteAnim(scene.sprites[i], kSceneSprites[i].arrival);
    SetSpriteAnim(scene.marker, 163);
    WaitAll();
    QueueSpriteFrameAt(scene.buttons[0], kNoPicture, kButtons[0].x, kButtons[0].y);
    for (size_t i = 1; i < 4; ++i) QueueSpriteFrameAt(scene.buttons[i], kButtons[i].picture, kButtons[i].x, kButtons[i].y);
}

void MakePiecesAndVariants() {
    for (size_t i = 0; i < 3; ++i) {
        scene.variants[i] = CreateSprite(kVariantX[i], 429, static_cast<int16_t>(i == 0 ? 143 : 140 + i));
    }
    for (int16_t i = 0; i < 4; ++i) {
        const auto& home = kPieceHomes[static_cast<size_t>(i)];
        scene.pieces[static_cast<size_t>(i)] = std::make_unique<CPlayerPiece>(
            i, scene.sprites[static_cast<size_t>(kFirstPieceSprite + i)], home[0], home[1]);
    }
}

void FreePiecesAndVariants() {
    for (auto& piece : scene.pieces) piece.reset();
    for (CCorAnim*& v : scene.variants) {
        DisposeSprite(v);
        v = nullptr;
    }
}

void ChangeCategory(CCorAnim* button) {
    const int16_t k = SceneCategory();
    const int16_t m = static_cast<int16_t>((GetSpriteFrame(button) - 320) * 10);
    if (m < 10 || m > 40 || k == 0) return;
    const ButtonPlace& old = kButtons[static_cast<size_t>(k / 10 - 1)];
    const ButtonPlace& chosen = kButtons[static_cast<size_t>(m / 10 - 1)];
    QueueSpriteFrameAt(scene.buttons[static_cast<size_t>(k / 10 - 1)], old.picture, old.x, old.y);
    QueueSpriteFrameNoWait(button, kNoPicture);
    QueueSpriteFrameAt(scene.marker, chosen.markerPicture, chosen.markerX, chosen.markerY);
    PiecesLeaveCategory(k);
    SetSpriteAnim(scene.sprites[kScenery3], 169);
    WaitAll();
    for (int16_t i = 0; i < 4; ++i) {
        SetSpriteAnim(scene.sprites[static_cast<size_t>(kFirstPieceSprite + i)], static_cast<int16_t>(m + i + 201));
    }
    WaitAll();
    for (int16_t i = 0; i < 4; ++i) {
        if (CPlayerPiece* piece = scene.pieces[static_cast<size_t>(i)].get()) piece->Refresh(i);
    }
}

void TearDownTwoPlayerScene() {
    const int16_t k = SceneCategory();
    for (CCorAnim* button : scene.buttons) QueueSpriteFrameNoWait(button, kNoPicture);
    QueueSpriteFrameNoWait(scene.marker, kNoPicture);
    if (k != 0) PiecesLeaveCategory(k);
    for (int16_t i = 0; i < 4; ++i) {
        PreloadAnimation(300);
        SetSpriteAnim(scene.sprites[static_cast<size_t>(kFirstPieceSprite + i)], static_cast<int16_t>(257 + i));
    }
    for (int16_t anim : {253, 254, 255, 256, 268, 262, 251, 252, 261}) {
        for (size_t i = 0; i < kSceneSprites.size(); ++i) {
            if (kSceneSprites[i].departure == anim) SetSpriteAnim(scene.sprites[i], anim);
        }
    }
    WaitAll();
    FreePiecesAndVariants();
    for (CCorAnim*& s : scene.sprites) {
        DisposeSprite(s);
        s = nullptr;
    }
    for (CCorAnim*& b : scene.buttons) {
        DisposeSprite(b);
        b = nullptr;
    }
    DisposeSprite(scene.marker);
    DisposeSprite(scene.corner);
    scene.marker = scene.corner = nullptr;
}
