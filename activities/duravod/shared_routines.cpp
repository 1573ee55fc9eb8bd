#include "activities/duravod/shared_routines.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_module.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/level_table.h"
#include "activities/duravod/problem.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/scene.h"
#include "activities/duravod/pieces.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/talk.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"

namespace duravod {

namespace {

LevelRow CurrentRow() {
    const CDuravodState& s = State();
    return s.LevelTable.Row(s.CurrentLevel);
}

// Random (n) for n of any size: 0 below 1, the generator's 16-bit range above.
int16_t RandomUpTo(int32_t n) { return n < 1 ? int16_t{0} : Random(static_cast<int16_t>(std::min(n, int32_t{32767}))); }

}  // namespace

void ClearProblemNumbers() { State().ProblemNumbers.Clear(); }

void ClearUsedNumbersRow(int row) {
    CUsedNumbers& used = State().UsedNumbers;
    used.ClearRow(row);
    used.Set(0, 0, true);
}

void PickProblemNumber() {
    CDuravodState& s = State();
    const LevelRow row = CurrentRow();
    // The kind's row as the problem factory maps the kind: never row 0, whose flag 0 is the
    // in-use mark.
    const int kind = PlayedKind(row.kind);
    const int lo = row.lowest, hi = row.highest;
    const int16_t previous = s.ProblemNumbers.Picked();
    s.ProblemNumbers.Clear();
    int16_t c = previous;
    if (hi < lo || (lo == hi && lo == previous)) {
        // Nothing but the previous pick (or nothing at all) to draw from: it comes again.
        c = static_cast<int16_t>(hi < lo ? lo : previous);
    } else {
        int t = 1;
        while (c == previous || s.UsedNumbers.Get(kind, c)) {
            c = static_cast<int16_t>(lo + RandomUpTo(hi - lo + 1));
            if (hi < t) ClearUsedNumbersRow(kind);
            ++t;
        }
    }
    s.ProblemNumbers.Set(0, 0, c);
    s.UsedNumbers.Set(kind, c, true);
    s.UsedNumbers.Set(0, 0, true);
}

int16_t PickOrder() {
    switch (CurrentRow().order) {
        case 1:
            return 0;
        case 2:
            return 1;
        default:
            return Random(100) < 50 ? int16_t{1} : int16_t{0};
    }
}

int16_t PickGroups() {
    const uint16_t code = CurrentRow().groups;
    if (code >= 1 && code <= 4) return static_cast<int16_t>(code);
    if (code == 5) return static_cast<int16_t>(2 + Random(2));
    return static_cast<int16_t>(2 + Random(3));
}

int16_t WaitSpriteOrSkip(CCorAnim* sprite, int16_t picture, int16_t x, int16_t y, int16_t skipOnMove) {
    int16_t lastX = 0, lastY = 0;
    GetMouse(lastX, lastY);
    bool skip = false;
    while (GetSpriteStatus(sprite) == 0 && !WaitMustEnd()) {
        if (IsClickPending(0)) {
            skip = true;
            break;
        }
        if (skipOnMove) {
            int16_t mx = 0, my = 0;
            GetMouse(mx, my);
            if (mx != lastX || my != lastY) {
                skip = true;
                break;
            }
        }
        Delay(0);
    }
    if (!skip) return 0;
    StopSprite(sprite);
    QueueSpriteFrameAt(sprite, picture, x, y);
    QueueSpriteStopSound(sprite, -1);
    while (GetSpriteStatus(sprite) == 0 && !WaitMustEnd()) Delay(0);
    return 1;
}

int16_t WaitSoundsOrClick() {
    while (IsSndPlaying(-1)) {
        if (IsClickPending(0)) {
            StopAllSnds();
            return 1;
        }
        if (WaitMustEnd()) {
            StopAllSnds();
            return 1;
        }
        Delay(0);
    }
    return 0;
}

int16_t PlaySoundList(const int16_t* sounds) {
    int channel = 0;
    for (const int16_t* id = sounds; id && *id != 0; ++id) {
        channel = PlaySnd(*id, channel);
        if (WaitSoundsOrClick()) return 1;
    }
    return 0;
}

void WaitAllSprites() {
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(0);
}

// ---- Equation boxes ---------------------------------------------------------------------------

CEquationItem::CEquationItem(int16_t i) : index(i) {
    GetPictureSize(kEquationBox, width, height);
    CCorRect screen{0, 0, 640, 480};
    GetScreenMode(&screen);
    x = (i % 2 == 0) ? static_cast<int16_t>(screen.right - width - 10) : static_cast<int16_t>(screen.left + 10);
    y = static_cast<int16_t>((i - 1) / 2 * height + 50);
    box = CreateSprite(x, y, kEquationBox);
}

CEquationItem::~CEquationItem() {
    if (box) {
        DisposeSprite(box);
        EngineDisposeText(text);
    }
    box = nullptr;
    text = nullptr;
}

void CEquationItem::MakeText() {
    const CProblemNumbers& n = State().ProblemNumbers;
    char line[kEquationLineChars + 1];
    std::snprintf(line, sizeof line, "%d + %d = %d", n.Get(index, 1), n.Get(index, 2), n.Picked());
    EngineSetTextColors(14, 0, 4);
    EngineSetTextDefault(10);
    text = EngineCreateText(line, CCorRect{x, static_cast<int16_t>(y + 6), static_cast<int16_t>(x + width),
                                           static_cast<int16_t>(y + height)},
                            0);
}

void CEquationItem::Blink() {
    for (int pass = 0; pass < 5; ++pass) {
        if (pass != 1) Delay(5);
        EngineDisposeText(text);
        text = nullptr;
        Delay(5);
        MakeText();
    }
}

int16_t CEquationItem::OnClick(CCorAnim* sprite, int16_t value) {
    if (!sprite || sprite != box) return 0;
    CDuravodState& s = State();
    if (s.HoldingPaint) {
        ClickGesture(value);
        return 1;
    }
    if (!text) return 1;
    busy = 1;
    ShowReadout();
    Blink();
    if (CProblem* problem = s.Problem.get()) {
        problem->solved = 1;
        problem->chosenRow = index;
        problem->SayEquation(650);
        problem->solved = 0;
        problem->chosenRow = 0;
    }
    busy = 0;
    ShowReadout();
    return 1;
}

void CEquationItem::ShowReadout() {
    CDuravodState& s = State();
    const CProblemNumbers& n = s.ProblemNumbers;
    char line[kEquationLineChars + 1];
    if (busy) {
        std::snprintf(line, sizeof line, "%d + %d = %d", n.Get(index, 1), n.Get(index, 2), n.Picked());
    } else {
        std::snprintf(line, sizeof line, "%d", n.Picked());
    }
    EngineSetTextColors(14, 0, 4);
    EngineSetTextDefault(27);
    const int16_t x0 = s.Panel ? s.Panel->x : int16_t{0};
    const int16_t y0 = s.Panel ? s.Panel->y : int16_t{0};
    if (s.ModuleTextItems[0]) {
        EngineSetText(s.ModuleTextItems[0], line);
    } else {
        s.ModuleTextItems[0] = EngineCreateText(
            line,
            CCorRect{static_cast<int16_t>(x0 + 28), static_cast<int16_t>(y0 + 3), static_cast<int16_t>(x0 + 244),
                     static_cast<int16_t>(y0 + 24)},
            0);
    }
}

int16_t CEquationItem::Overlaps(int16_t ox, int16_t oy, int16_t ow, int16_t oh) const {
    const CCorRect other{ox, oy, static_cast<int16_t>(ox + ow), static_cast<int16_t>(oy + oh)};
    const CCorRect own{x, y, static_cast<int16_t>(x + width), static_cast<int16_t>(y + height)};
    return RectsMeet(other, own, 0, 0);
}

CEquationList::CEquationList(int16_t count) : m_count(std::clamp<int16_t>(count, 0, kMaxItems)) {
    for (int16_t i = 1; i <= m_count; ++i) m_items[static_cast<size_t>(i)] = std::make_unique<CEquationItem>(i);
}

CEquationList::~CEquationList() {
    for (int16_t i = 1; i <= m_count; ++i) m_items[static_cast<size_t>(i)].reset();
}

CEquationItem* CEquationList::Item(int16_t index) const {
    if (index < 1 || index > m_count) return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

void CEquationList::MakeText(int16_t index) {
    if (CEquationItem* item = Item(index)) item->MakeText();
}

void CEquationList::Blink(int16_t index) {
    if (CEquationItem* item = Item(index)) item->Blink();
}

int16_t CEquationList::OnClick(CCorAnim* sprite, int16_t value) {
    for (int16_t i = 1; i <= m_count; ++i) {
        if (CEquationItem* item = Item(i); item && item->OnClick(sprite, value)) return 1;
    }
    return 0;
}

int16_t CEquationList::Overlaps(int16_t x, int16_t y, int16_t width, int16_t height) const {
    for (int16_t i = 1; i <= m_count; ++i) {
        if (CEquationItem* item = Item(i); item && item->Overlaps(x, y, width, height)) return 1;
    }
    return 0;
}

// ---- The talking head -------------------------------------------------------------------------

CSpeaker::CSpeaker() {
    face = CreateSprite(0, 0, kNoPicture);
    expression = CreateSprite(0, 0, kNoPicture);
    int16_t w = 0, h = 0;
    GetPictureSize(kHatchClosed, w, h);
    bottom = static_cast<int16_t>(318 + h);
}

CSpeaker::~CSpeaker() {
    DisposeSprite(face);
    DisposeSprite(expression);
}

void CSpeaker::Show() {
    CDuravodState& s = State();
    if (!s.Hatch) return;
    StopModuleTimers(1);
    QueueSpriteFrameAt(s.Hatch, kNoPicture, 0, 0);
    SetFace(0);
    SetExpression(0);
    WaitSpriteDone(expression);
    shown = 1;
}

void CSpeaker::Hide() {
    CDuravodState& s = State();
    if (s.Hatch) {
        expressionPicture = kNoPicture;
        QueueSpriteFrameAt(face, kNoPicture, 0, 0);
        QueueSpriteFrameAt(expression, kNoPicture, 0, 0);
        QueueSpriteFrameAt(s.Hatch, kHatchClosed, 86, 318);
        WaitSpriteDone(s.Hatch);
    }
    shown = 0;
    StartModuleTimers(1);
}

int16_t CSpeaker::Say(const int16_t* sounds, int16_t sound) {
    const int16_t one[2] = {sound, 0};
    const int16_t* list = sounds ? sounds : one;
    if (list[0] == 0) return 0;
    if (ResourceExists(kResCUE, list[0])) {
        if (!shown) Show();
        if (!shown) return 0;
        PreloadAnimation(kTalkPreload);
        const int16_t cut = TalkWithCues(face, 1, 0, &channel, list);
        SetFace(0);
        return cut;
    }
    return PlaySoundList(list);
}

void CSpeaker::SetFace(int16_t picture) { QueueSpriteFrameAt(face, picture == 0 ? kFace : picture, faceX, top); }

void CSpeaker::SetExpression(int16_t picture) {
    int16_t offset = 0;
    if (picture != 0) {
        expressionPicture = picture;
        if (picture == kFirstExpression + 1) offset = -2;
        if (picture == kFirstExpression + 2) offset = 4;
    } else if (expressionPicture == kNoPicture) {
        expressionPicture = static_cast<int16_t>(kFirstExpression + Random(3));
    } else if (Random(100) < 75) {
        expressionPicture = static_cast<int16_t>(kFirstExpression + Random(3));
    }
    int16_t w = 0, h = 0;
    GetPictureSize(expressionPicture, w, h);
    QueueSpriteFrameAt(expression, expressionPicture, static_cast<int16_t>(expressionX + offset),
                       static_cast<int16_t>(bottom - h));
}

// ---- The panel button's loop ------------------------------------------------------------------

void StartButtonLoop() {
    CDuravodState& s = State();
    if (s.ButtonLoopSprite) return;
    const int16_t x = GetSpriteX(s.PanelButton), y = GetSpriteY(s.PanelButton);
    int16_t w104 = 0, h = 0, w40 = 0;
    GetPictureSize(kPanelButtonPressed, w104, h);
    GetPictureSize(kButtonLoop, w40, h);
    s.ButtonLoopSprite = CreateSprite(static_cast<int16_t>(x + w104 - w40), static_cast<int16_t>(y - 5), kNoPicture);
    if (s.Cursor) s.Cursor->ToFront();
    QueueSpriteFrameNoWait(s.ButtonLoopSprite, kButtonLoop);
    QueueSpriteWait(s.ButtonLoopSprite, 7);
    SetSpriteAnim(s.ButtonLoopSprite, kButtonLoop);
    QueueSpriteRestart(s.ButtonLoopSprite);
}

void StopButtonLoop() {
    CDuravodState& s = State();
    if (!s.ButtonLoopSprite) return;
    StopSprite(s.ButtonLoopSprite);
    WaitSpriteDone(s.ButtonLoopSprite);
    QueueSpriteFrameNoWait(s.ButtonLoopSprite, kButtonLoop);
    QueueSpriteWait(s.ButtonLoopSprite, 7);
    WaitSpriteDone(s.ButtonLoopSprite);
    DisposeSprite(s.ButtonLoopSprite);
    s.ButtonLoopSprite = nullptr;
}

void SuspendTextItems(int16_t) {}

void RefreshTextItems() {
    for (CText* item : State().ModuleTextItems)
        if (item) EngineRerenderText(item, 0, 0);
}

}  // namespace duravod
