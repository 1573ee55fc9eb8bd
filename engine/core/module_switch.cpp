// Entering and leaving modules, and the idle step.
#include <algorithm>
#include <vector>

#include "engine/core/colour_table.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/fade.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/scene/ticks.h"
#include "media/res/item_cache.h"
#include "media/res/res_item_table.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/byte_order.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr int kFadeSteps = 20;
constexpr int16_t kEntrySound = 991;
constexpr int16_t kIntroSound = 990;
constexpr int32_t kDefaultPictureWidth = 512;
constexpr int32_t kDefaultPictureHeight = 342;
constexpr int32_t kFirstNavigationPicture = 100;
constexpr int32_t kLastNavigationPicture = 107;

// Sleeps until the next tick begins or new input of the kinds in mask arrives.
void WaitForNextTickOrInput(DWORD mask) {
    const uint64_t next = GetTicks() + 1;
    const uint64_t due = (next * 1000 + 59) / 60;
    const uint64_t now = plat::NowMs64();
    if (due <= now) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(due - now), mask);
}

}  // namespace

void FlushQueuedInput() {
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
    while (PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
}

HWND CCorEngine::GameViewWindow() const {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->GetSafeHwnd()) return nullptr;
    if (main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        if (CView* view = static_cast<CFrameWnd*>(main)->GetActiveView()) return view->GetSafeHwnd();
    }
    return main->GetSafeHwnd();
}

void CCorEngine::SetSharedResourceBase(int32_t base) {
    const int32_t own = m_currentModule * 1000;
    if (m_sharedBase >= 1000 && m_sharedBase != own) CloseResourceFile(m_sharedBase / 1000);
    m_sharedBase = base;
    if (base >= 1000 && base != own) OpenResourceFile(base / 1000, TRUE);
}

void CCorEngine::SetBackground(int32_t id) {
    m_backgroundId = id;
    m_backgroundStatic.ChangePicture(id);
    const RECT screen{0, 0, m_screenWidth, m_screenHeight};
    if (m_backgroundSurface && m_backgroundSurface->IsValid()) m_backgroundStatic.Draw(*m_backgroundSurface, screen);
    InvalidateGameRect(nullptr);
}

// The navigation pictures are taken out of the cache and read again before they are remapped,
// so every entry remaps the pictures as the file holds them, never pixels remapped before; the
// remapped pictures are kept from the pool's purges until the next entry takes them out.
void CCorEngine::CreateNavigationButtons() {
    for (CTwoStateButton& button : m_buttons) button = CTwoStateButton();
    if (m_itemCache) {
        m_itemCache->SetDestroying(true);
        m_itemCache->RemoveRange(kFirstNavigationPicture, kLastNavigationPicture);
        m_itemCache->SetDestroying(false);
    }
    const LONG y = m_screenHeight - 39;
    const bool home = m_currentModule == GetHomeModule();
    if (!home) {
        m_buttons[0].Create(POINT{6, y}, 0, 102, 103, TRUE);
    } else if (m_prefs.showStopSign) {
        m_buttons[0].Create(POINT{6, y}, 0, 100, 101, TRUE);
    }
    if (m_prefs.showMiddleButton) m_buttons[1].Create(POINT{m_screenWidth - 112, y}, 0, 104, 105, FALSE);
    if (m_prefs.printingOn) m_buttons[2].Create(POINT{m_screenWidth - 38, y}, 0, 106, 107, FALSE);
    if (!m_fadePalette || !m_screenPalette) return;
    HPALETTE from = *m_fadePalette->GetPalette();
    HPALETTE to = *m_screenPalette->GetPalette();
    for (CTwoStateButton& button : m_buttons) {
        button.RemapToPalette(from, to);
        // The remapped pixels cannot be read again from the file: no pool purge may free them.
        for (CSprite* picture : {button.GetFirst(), button.GetSecond()}) {
            if (picture) picture->m_purgeable = 0;
        }
    }
}

void CCorEngine::WaitForSoundsToEnd() {
    for (;;) {
        m_sounds.Service();
        if (!IsSndPlaying(-1) || m_closePending) return;
        SleepUntilTick(GetTicks() + 1);
    }
}

void CCorEngine::StartIntroduction(int module) {
    WaitForSoundsToEnd();
    if (!m_prefs.playIntroSound) return;
    StopAllSnds();
    PreloadSnd(kIntroSound);
    const int repeat = module == GetHomeModule() ? GetIntroRepeat() : 1;
    for (int i = 0; i < repeat; ++i) PlaySnd(kIntroSound, 1);
}

void CCorEngine::PlayThroughIntroduction() {
    while (IsSndPlaying(-1) && !m_closePending) {
        RunIdle();
        MSG msg;
        const bool press = PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE) ||
                           PeekMessage(&msg, nullptr, WM_RBUTTONDOWN, WM_RBUTTONDOWN, PM_NOREMOVE) ||
                           (PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) &&
                            msg.message == WM_KEYDOWN);
        if (press) {
            StopAllSnds();
            return;
        }
        WaitForNextTickOrInput(QS_KEY | QS_MOUSEBUTTON);
    }
}

void CCorEngine::GoToModule(int module, BOOL full) {
    SetSharedResourceBase(0);
    m_sharedThreshold = 1000;
    if (module != m_currentModule) m_previousModule = m_currentModule;
    m_currentModule = module;
    m_busyLevel = 0;
    m_frameWait = 2;
    m_showSpots = 0;
    // The toolbox's text style: colour 0 on colour 14, mode 4.
    m_textStyle.foreground = ColorNumberToRGB(0);
    m_textStyle.background = ColorNumberToRGB(14);
    m_textStyle.mode = 4;
    FlushQueuedInput();
    BeginBusy();
    if (module == GetHomeModule()) ReadUserPrefs();
    m_scanner.SetHighlight(GetResItem(1, TRUE), 0, 0);
    m_scanner.Configure(m_prefs);
    OpenResourceFile(module, TRUE);

    PlaySndFree(kEntrySound);
    // The first entry of a run puts its frame up and fades it in while its click plays: the
    // player has waited for the program's start already. Every later entry plays its click out
    // before the new scene is built.
    const bool firstEntry = !m_anyFrameShown;
    if (!firstEntry) StartIntroduction(module);

    m_busyGuard = 1;
    if (!LoadModulePalette(module * 1000, TRUE)) LoadModulePalette(0, TRUE);
    m_paletteWanted = m_paletteShown;

    int32_t width = kDefaultPictureWidth;
    int32_t height = kDefaultPictureHeight;
    std::vector<uint8_t> size;
    if (ReadResourceItem(kResPNT, module * 1000 + 1, nullptr, size, 64) && size.size() >= 4) {
        width = plat::GetLe16(size, 0);
        height = plat::GetLe16(size, 2);
    }
    m_originX = static_cast<int16_t>((m_screenWidth - width) / 2);
    m_originY = static_cast<int16_t>((m_screenHeight - height) / 2);

    m_backgroundId = module * 1000;
    // The background's picture point (0, 0) is the origin: a picture smaller than the screen
    // lies centred, on black.
    m_backgroundStatic.Init(POINT{m_originX, m_originY}, m_backgroundId, 0);
    SetBackground(m_backgroundId);
    CreateNavigationButtons();
    m_spots.LoadList(module * 1000);
    LoadHotspotTable(module * 1000);
    m_buttons[0].SetState(0);

    m_moduleTable = GetModuleTable(module);
    m_enteredFrameShown = false;
    if (m_moduleTable && m_moduleTable->Enter) {
        m_inEnter = 1;
        m_moduleTable->Enter();
        m_inEnter = 0;
    }
    if (full && m_moduleTable && m_moduleTable->Notify)
        m_moduleTable->Notify(m_currentModule != m_previousModule ? kModuleNotifyEntered : kModuleNotifyReentered);

    // The first entry finds the view still black: its palette goes black at once (the frame
    // must not flash in full colour before the fade-in), with no fade to wait through.
    FadeOut(m_screenPalette.get(), m_anyFrameShown ? kFadeSteps : 0, 0);
    m_busyGuard = 0;
    m_anims.StepAll();
    Present(0);
    FadeIn(m_screenPalette.get(), kFadeSteps, 0);
    if (firstEntry) StartIntroduction(module);
    PlayThroughIntroduction();
    if (full && m_moduleTable && m_moduleTable->Start) m_moduleTable->Start();
    EndBusy();
}

namespace {
std::vector<void (*)()> gLeaveHooks;
}  // namespace

void AddModuleLeaveHook(void (*hook)()) {
    if (hook && std::find(gLeaveHooks.begin(), gLeaveHooks.end(), hook) == gLeaveHooks.end())
        gLeaveHooks.push_back(hook);
}

void CCorEngine::UnloadModule(BOOL withLeavingAnimation) {
    m_unloading = 1;
    for (void (*hook)() : std::vector<void (*)()>(gLeaveHooks)) hook();
    ModuleFunctionTable* table = m_moduleTable;
    if (withLeavingAnimation && table && table->BeginLeave && table->BeginLeave()) {
        while (m_anims.GetState() == 0 && !m_closePending) {
            const uint64_t tick = GetTicks();
            StepAndPresent();
            if (m_anims.GetState() == 0) SleepUntilTick(tick + 1);
        }
    }
    m_scanner.SetHighlight(nullptr, 0, 0);
    if (table && table->Leave) table->Leave();
    m_moduleTable = nullptr;
    m_scanner.RemoveAll();
    StopAllSnds();
    // The buttons' pictures are read again and remapped on the next entry.
    for (CTwoStateButton& button : m_buttons) button.Hide();
    m_statics.RemoveAll();
    m_texts.clear();
    m_idles.RemoveAll();
    m_anims.RemoveAll();
    // The module's handles went with it: the memory of its sprites may serve the next one.
    m_anims.ForgetDisposed();
    if (m_itemCache && m_currentModule > 0) {
        // Pictures a module made and filled (not purgeable) stay until they are purged.
        m_purgeGuard = 1;
        m_itemCache->RemoveRange(m_currentModule * 1000, m_currentModule * 1000 + 999);
        m_purgeGuard = 0;
    }
    m_spots.RemoveAll();
    m_sounds.StopAll();
    CloseResourceFile(m_currentModule);
    m_backgroundStatic.ChangePicture(m_currentModule * 1000 + 2);
    for (HCURSOR* cursor : {&m_moduleCursorA, &m_moduleCursorB}) {
        if (*cursor) DestroyCursor(*cursor);
        *cursor = nullptr;
    }
    m_unloading = 0;
}

void CCorEngine::LeaveModule() {
    if (m_currentModule == GetHomeModule()) {
        QuitGame();
        return;
    }
    UnloadModule(TRUE);
    GoToModule(m_previousModule, TRUE);
}

namespace {
// Dispatches the first queued message of the kind, after the application's pre-translation,
// as the idle step does.
void DispatchQueued(UINT kind) {
    MSG msg;
    if (!PeekMessage(&msg, nullptr, kind, kind, PM_REMOVE)) return;
    CWinApp* app = AfxGetApp();
    if (app && app->PreTranslateMessage(&msg)) return;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
}
}  // namespace

bool CCorEngine::TakeInClose() {
    if (m_running && !m_closePending) {
        CEngineCall call;
        DispatchQueued(WM_CLOSE);
    }
    return m_closePending;
}

void CCorEngine::RunIdle() {
    CEngineCall call;
    if (!m_running || m_trackingButton) return;
    for (UINT kind : {UINT(WM_CLOSE), UINT(WM_SETFOCUS), UINT(WM_KILLFOCUS), UINT(WM_ACTIVATEAPP)}) {
        MSG msg;
        if (!PeekMessage(&msg, nullptr, kind, kind, PM_REMOVE)) continue;
        CWinApp* app = AfxGetApp();
        if (app && app->PreTranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (m_heldHotKey && m_callDepth == 1 && !m_drag.IsDragging()) {
        // A program closing does not open the grown-ups' section first.
        if (ClosePending())
            m_heldHotKey = 0;
        else
            RunHeldHotKey();
        return;
    }
    if (m_moduleTable && !m_unloading && !m_leaveRequest && !m_inEnter && !m_inAdultArea) {
        const uint32_t now = static_cast<uint32_t>(GetTicks());
        if (!m_inTick && m_lastTick < now) {
            m_lastTick = now;
            m_inTick = 1;
            if (m_moduleTable->Tick) m_moduleTable->Tick();
            m_inTick = 0;
        }
        if (m_scanner.IsOn()) m_scanner.Tick();
        m_idles.RunDue();
    }
    if (m_leaveRequest && !m_unloading) {
        m_leaveRequest = 0;
        LeaveModule();
    }
    m_sounds.Service();
    StepAndPresent();
}
