#include "engine/toolbox/sprite_toolbox.h"

#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/scene/ticks.h"
#include "engine/toolbox/anim_items.h"
#include "media/res/item_cache.h"

using namespace media;

namespace {

// The sprite when it is one of the display list's; null otherwise. Only the handle's value is
// compared, so a disposed sprite is never reached through it.
CCorAnim* Live(CCorAnim* sprite) {
    if (!sprite || !theEngine || !theEngine->m_anims.Contains(sprite)) return nullptr;
    return sprite;
}

int32_t Map(int16_t id) { return theEngine->MapResourceId(id); }

uint32_t Operand(int32_t value) { return static_cast<uint32_t>(value); }

void AppendDefaultWait(CCorAnim* s) {
    s->AddInstr(kAnimWait, Operand(theEngine->m_frameWait));
    s->AddInstr(kAnimNop, 0);
}

// MoveTo takes frame coordinates; AddInstrXY appends the point as it is.
void AppendMoveTo(CCorAnim* s, int16_t x, int16_t y) {
    s->AddInstrXY(kAnimMoveTo, static_cast<int16_t>(x + theEngine->m_originX),
                  static_cast<int16_t>(y + theEngine->m_originY));
}

}  // namespace

void SpriteAddInstr(CCorAnim* sprite, int32_t opcode, int32_t operand) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(static_cast<int16_t>(opcode), Operand(operand));
}

void SetSpriteAnim(CCorAnim* sprite, int16_t animId) {
    if (CCorAnim* s = Live(sprite)) s->LoadScript(Map(animId));
}

void QueueSpriteFrame(CCorAnim* sprite, int16_t pictureId) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstr(kAnimShowPicture, Operand(Map(pictureId)));
    AppendDefaultWait(s);
}

void QueueSpriteFrameMove(CCorAnim* sprite, int16_t pictureId, int16_t dx, int16_t dy) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstr(kAnimShowPicture, Operand(Map(pictureId)));
    s->AddInstrXY(kAnimMoveBy, dx, dy);
    AppendDefaultWait(s);
}

void QueueSpriteFrameAt(CCorAnim* sprite, int16_t pictureId, int16_t x, int16_t y) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstr(kAnimShowPicture, Operand(Map(pictureId)));
    AppendMoveTo(s, x, y);
    AppendDefaultWait(s);
}

void QueueSpriteFrameNoWait(CCorAnim* sprite, int16_t pictureId) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimShowPicture, Operand(Map(pictureId)));
}

void QueueSpriteShowImage(CCorAnim* sprite, int16_t pictureId) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstr(kAnimSwapPicture, Operand(Map(pictureId)));
    s->AddInstr(kAnimNop, 0);
}

void MoveSprite(CCorAnim* sprite, int16_t dx, int16_t dy) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstrXY(kAnimMoveBy, dx, dy);
    AppendDefaultWait(s);
}

void MoveSpriteInPicture(CCorAnim* sprite, int16_t x, int16_t y) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    AppendMoveTo(s, x, y);
    AppendDefaultWait(s);
}

void QueueSpriteWait(CCorAnim* sprite, int16_t ticks) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    s->AddInstr(kAnimWait, Operand(ticks));
    s->AddInstr(kAnimNop, 0);
}

void QueueSpriteSound(CCorAnim* sprite, int16_t soundId) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimPlaySound, Operand(Map(soundId)));
}

void QueueSpriteSoundReplace(CCorAnim* sprite, int16_t soundId) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimPlayNewSound, Operand(Map(soundId)));
}

void QueueSpriteWaitSound(CCorAnim* sprite, int16_t soundId) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimWaitSound, Operand(Map(soundId)));
}

void QueueSpriteStopSound(CCorAnim* sprite, int16_t channel) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimStopSound, Operand(channel));
}

void QueueSpriteRestart(CCorAnim* sprite) {
    if (CCorAnim* s = Live(sprite)) s->AddInstr(kAnimRestart, 0);
}

CCorAnim* CreateSprite(int16_t x, int16_t y, int16_t pictureId) {
    if (!theEngine) return nullptr;
    CCorEngine& e = *theEngine;
    CCorAnim* s = e.m_anims.Create(Map(pictureId), POINT{x + e.m_originX, y + e.m_originY});
    QueueSpriteFrameNoWait(s, pictureId);
    return s;
}

CAnimRef KeepSprite(CCorAnim* sprite) { return CAnimRef(Live(sprite)); }

CCorAnim* LiveSprite(const CAnimRef& sprite) { return theEngine ? theEngine->m_anims.Get(sprite) : nullptr; }

void DisposeSprite(CCorAnim* sprite) {
    if (CCorAnim* s = Live(sprite)) theEngine->m_anims.Remove(s);
}

void DisposeAllSprites() {
    if (theEngine) theEngine->m_anims.RemoveAll();
}

void StopSprite(CCorAnim* sprite) {
    if (sprite == kAllSprites) {
        if (theEngine) theEngine->m_anims.ClearAllScripts();
    } else if (CCorAnim* s = Live(sprite)) {
        s->Stop();
    }
}

void FinishSpriteScript(CCorAnim* sprite) {
    if (sprite == kAllSprites) {
        if (theEngine) theEngine->m_anims.FinishAll();
    } else if (CCorAnim* s = Live(sprite)) {
        s->Finish();
    }
}

int16_t GetSpriteStatus(CCorAnim* sprite) {
    if (sprite == kAllSprites) return static_cast<int16_t>(theEngine ? theEngine->m_anims.GetState() : kAnimFinished);
    CCorAnim* s = Live(sprite);
    return static_cast<int16_t>(s ? s->GetScriptState() : kAnimFinished);
}

void WaitSpriteDone(CCorAnim* sprite) {
    const bool all = sprite == kAllSprites;
    // Kept by serial: a sprite made during the wait in a gone one's memory is not waited for.
    const CAnimRef waited = all ? CAnimRef() : KeepSprite(sprite);
    auto waiting = [&] {
        if (!theEngine || theEngine->ClosePending()) return false;
        const int16_t status = GetSpriteStatus(all ? kAllSprites : LiveSprite(waited));
        if (status == kAnimRunning) return true;
        // Only another script's Release can move a held one on (the wait runs nothing else):
        // without a script still running, nothing ever would.
        return status == kAnimHeld && theEngine->m_anims.GetState() == kAnimRunning;
    };
    while (waiting()) {
        const uint64_t tick = GetTicks();
        theEngine->StepAndPresent();
        // The queue is looked at only when the wait goes on into the next tick.
        if (!waiting() || theEngine->TakeInClose()) break;
        SleepUntilTick(tick + 1);
    }
}

int16_t GetSpriteFrame(CCorAnim* sprite) {
    CCorAnim* s = Live(sprite);
    if (!s || !s->GetPicture()) return static_cast<int16_t>(kNoPictureId);
    return static_cast<int16_t>(s->GetPictureId() % 1000);
}

int16_t GetSpriteX(CCorAnim* sprite) {
    CCorAnim* s = Live(sprite);
    return static_cast<int16_t>(s ? s->GetPosition().x - theEngine->m_originX : 0);
}

int16_t GetSpriteY(CCorAnim* sprite) {
    CCorAnim* s = Live(sprite);
    return static_cast<int16_t>(s ? s->GetPosition().y - theEngine->m_originY : 0);
}

void GetSpritePos(CCorAnim* sprite, int16_t* x, int16_t* y) {
    if (!Live(sprite)) return;
    if (x) *x = GetSpriteX(sprite);
    if (y) *y = GetSpriteY(sprite);
}

void SetSpriteUserValue(CCorAnim* sprite, int16_t flag) {
    if (CCorAnim* s = Live(sprite)) s->SetClickable(flag);
}

void SetSpriteClip(CCorAnim* sprite, const CCorRect* clip) {
    CCorAnim* s = Live(sprite);
    if (!s) return;
    if (!clip) {
        s->SetClipRect(RECT{-32767, -32767, 32767, 32767});
        return;
    }
    const LONG h = theEngine->m_originX;
    const LONG v = theEngine->m_originY;
    s->SetClipRect(RECT{clip->left + h, clip->top + v, clip->right + h, clip->bottom + v});
}

void PutSpriteBefore(CCorAnim* a, CCorAnim* b) {
    if (!b) return;
    if (CCorAnim* s = Live(a)) theEngine->m_anims.MoveBefore(s, b);
}

void PutSpriteAfter(CCorAnim* a, CCorAnim* b) {
    if (!b) return;
    if (CCorAnim* s = Live(a)) theEngine->m_anims.MoveAfter(s, b);
}

void SpriteToFront(CCorAnim* sprite) {
    if (CCorAnim* s = Live(sprite)) theEngine->m_anims.MoveToTail(s);
}

void SpriteToBack(CCorAnim* sprite) {
    if (CCorAnim* s = Live(sprite)) theEngine->m_anims.MoveToHead(s);
}

void SetDefaultFrameTicks(int16_t ticks) {
    if (theEngine) theEngine->m_frameWait = ticks;
}

void PreloadAnimation(int16_t listId) {
    if (!theEngine) return;
    const auto records = ReadPreloadList(Map(listId));
    if (!records) return;
    for (const PreloadRecord& r : *records) {
        if (r.pictureId != 0) GetResItem(Map(r.pictureId), TRUE);
        if (r.soundId != 0) {
            theEngine->m_sounds.Service();
            PreloadSnd(r.soundId);
        }
    }
}
