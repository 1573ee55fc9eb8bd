#include "engine/toolbox/talk.h"

#include <optional>
#include <vector>

#include "engine/core/cor_engine.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/scene/ticks.h"
#include "engine/toolbox/anim_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/item_cache.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/winuser.h"

namespace {

// A cue list made ready to play: times in ticks from the start, pictures loaded.
struct Cues {
    struct Cue {
        int64_t tick;
        int16_t picture;
    };
    std::vector<Cue> cues;
    size_t next = 0;
    uint64_t start = 0;
};

Cues LoadCues(int16_t soundId) {
    CCorEngine& e = *theEngine;
    Cues out;
    const auto records = ReadCueList(e.MapResourceId(soundId));
    if (records) {
        for (const CueRecord& r : *records) {
            const auto picture = static_cast<int16_t>(r.pictureId & 0xFFFF);
            GetResItem(e.MapResourceId(picture), TRUE);
            out.cues.push_back({int64_t{r.timeMs} * 60 / 1000, picture});
        }
    }
    out.start = GetTicks();
    return out;
}

// Sleeps tick by tick, servicing the mixer, until no channel plays or a close is pending.
void WaitForSilence() {
    for (;;) {
        theEngine->m_sounds.Service();
        if (!IsSndPlaying(-1) || theEngine->ClosePending()) return;
        SleepUntilTick(GetTicks() + 1);
    }
}

// The module's Tick once per engine tick, as the idle step runs it.
void TickModule() {
    CCorEngine& e = *theEngine;
    ModuleFunctionTable* table = e.m_moduleTable;
    if (!table || e.m_unloading || e.m_leaveRequest || e.m_inEnter || e.m_inAdultArea) return;
    const auto now = static_cast<uint32_t>(GetTicks());
    if (e.m_inTick || e.m_lastTick >= now) return;
    e.m_lastTick = now;
    e.m_inTick = 1;
    if (table->Tick) table->Tick();
    e.m_inTick = 0;
}

// Takes a queued close, focus or activation message, hands it to the application and then
// to its window; true when one was there.
bool HandleWindowMessage() {
    for (UINT kind : {UINT(WM_CLOSE), UINT(WM_SETFOCUS), UINT(WM_KILLFOCUS), UINT(WM_ACTIVATEAPP)}) {
        MSG msg;
        if (!PeekMessage(&msg, nullptr, kind, kind, PM_REMOVE)) continue;
        CWinApp* app = AfxGetApp();
        if (!app || !app->PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        return true;
    }
    return false;
}

// One pass of the loop while a sound plays; true when the line is to stop.
bool Pass(CCorAnim* sprite, bool interruptible, bool remove, Cues* cues) {
    CCorEngine& e = *theEngine;
    if (e.ClosePending()) return true;
    if (interruptible) {
        MSG msg;
        if (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, remove ? PM_REMOVE : PM_NOREMOVE)) {
            StopAllSnds();
            return true;
        }
    }
    if (HandleWindowMessage()) return true;
    if (cues && cues->next < cues->cues.size()) {
        const Cues::Cue& cue = cues->cues[cues->next];
        if (static_cast<int64_t>(cues->start) + cue.tick <= static_cast<int64_t>(GetTicks())) {
            QueueSpriteFrameNoWait(sprite, cue.picture);
            ++cues->next;
        }
    }
    e.m_sounds.Service();
    e.StepAndPresent();
    TickModule();
    if (e.m_scanner.IsOn()) e.m_scanner.Tick();
    return false;
}

}  // namespace

int16_t TalkWithCues(CCorAnim* handle, int16_t interruptible, int16_t remove, int16_t* channel, const int16_t* sounds) {
    if (!theEngine || !sounds) return 0;
    // Messages are dispatched and the module ticked while it talks: the sprite is kept by
    // serial, so one that goes meanwhile is never confused with a newer one.
    const CAnimRef talker = KeepSprite(handle);
    const auto speaker = [&] { return handle == kAllSprites ? kAllSprites : LiveSprite(talker); };
    if (theEngine->ClosePending()) return 1;
    if (!interruptible) theEngine->BeginBusy();

    const bool single = sounds[0] == -1;
    size_t count = 0;
    while (sounds[count] != 0) ++count;
    for (size_t i = single ? 1 : 0; i < count; ++i) PreloadSnd(sounds[i]);
    WaitForSilence();
    FlushEvents(0xFFFF);

    size_t index = single ? 1 : 0;
    bool stopped = theEngine->ClosePending();
    std::optional<Cues> cues;
    while (index < count && !stopped) {
        if (!single || index == 1) cues = LoadCues(sounds[index]);
        const int16_t ch = PlaySnd(sounds[index], 0);
        if (channel) *channel = ch;
        while (ch >= 1 && IsSndPlaying(ch)) {
            const uint64_t tick = GetTicks();
            if (Pass(speaker(), interruptible != 0, remove != 0, cues ? &*cues : nullptr)) {
                stopped = true;
                break;
            }
            if (IsSndPlaying(ch)) SleepUntilTick(tick + 1);
        }
        ++index;
        if (single && index < count && !stopped) continue;
        FinishSpriteScript(speaker());
        if (!single && stopped && index < count) cues = LoadCues(sounds[count - 1]);
        if (cues && !cues->cues.empty()) QueueSpriteFrameNoWait(speaker(), cues->cues.back().picture);
        cues.reset();
        WaitSpriteDone(speaker());
    }
    if (!interruptible) theEngine->EndBusy();
    return stopped ? 1 : 0;
}
