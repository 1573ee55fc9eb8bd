// The engine object: one CCorEngine (the game's CZelboTitle, zelbo_title.h) holds every piece of
// the game's run-time state, and the global pointer theEngine is how every other part reaches
// it. The view and the frame hand it their paint, timer, key and click messages; the
// start-up (EngineStartup) prepares it before anything is shown and EngineShutdown undoes it.
//
// User-interface thread only. State is public: the toolbox, the scene objects and the module
// code read and set it, as the engine's own operations do.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/base/activity_settings.h"
#include "engine/base/adult_seam.h"
#include "engine/base/module_table.h"
#include "engine/core/prefs_store.h"
#include "engine/scene/anim_list.h"
#include "engine/scene/drag_mgr.h"
#include "engine/scene/idle.h"
#include "engine/scene/pal_item.h"
#include "engine/scene/scanner.h"
#include "engine/scene/spot.h"
#include "engine/scene/static_picture.h"
#include "engine/scene/two_state_button.h"
#include "media/res/res_mgr.h"
#include "media/sound/sound_clip.h"
#include "media/text/text_host.h"
#include "media/text/text_item.h"
#include "media/util/cor_geometry.h"
#include "platform/core/wintypes.h"

class CDibG;
class CDirtyRectList;
class CPalId;
class CResItemTable;
class CSprite;
class CWnd;
class CEngineHosts;

// The grown-ups' section the engine runs (engine/base/adult_seam.h).
// Pop-ups above the engine (engine/popups) close before a module is taken down, so none outlives
// the module that opened it: each registers its closing function (again: nothing new), and
// UnloadModule calls them first, on every way out of a module (a switch, the grown-ups' hot
// key, quitting, the window's close).
void AddModuleLeaveHook(void (*hook)());

// Installs the section (null: the neutral one) and returns the one installed before.
IAdultSection* SetAdultSection(IAdultSection* section);
IAdultSection& AdultSection();

inline constexpr UINT kCdPromptString = 40000;
inline constexpr UINT kOutOfMemoryString = 40001;
inline constexpr UINT kUnhandledExceptionString = 40011;
inline constexpr UINT kTitleString = 57344;
inline constexpr int kModuleCount = 10;            // resource file slots: 0 shared, 1..6 modules

class CCorEngine {
public:
    CCorEngine();
    virtual ~CCorEngine();
    CCorEngine(const CCorEngine&) = delete;
    CCorEngine& operator=(const CCorEngine&) = delete;

    // What the game supplies, in slot order.
    virtual const char* GetAppKey() = 0;                             // 0
    virtual const char* GetTitle() = 0;                              // 1
    virtual const char* GetVersionText() = 0;                        // 2
    virtual void OnStarted() = 0;                                    // 3
    virtual void OnShutdown() = 0;                                   // 4
    virtual ModuleFunctionTable* GetModuleTable(int module) = 0;     // 5
    virtual void QuitGame() = 0;                                     // 6
    // 1 = back to the same module, 2 = quit, 0 = go to the home module.
    virtual int16_t EnterAdultArea() = 0;                            // 7
    virtual int32_t GetHomeModule() { return 1; }                    // 8
    virtual void OnFirstEntry() {}                                   // 9
    // The saved-settings block and its size, or null (size 0) when the game keeps none.
    virtual void* GetSavedSettings(int32_t& size) {                  // 10
        size = 0;
        return nullptr;
    }
    virtual void ResetSavedSettings() {}                             // 11
    virtual COLORREF GetBackgroundColor();                           // 12: the button face
    virtual int16_t GetIntroRepeat() { return 1; }                   // 13
    virtual int32_t GetSampleRate() { return kSoundRate; }           // 14
    virtual int32_t GetMixerBufferParam() { return kSoundBufferParam; }  // 15
    virtual void GetScreenSize(int32_t& width, int32_t& height) = 0;  // 16

    // Start-up and shutdown, as EngineStartup and EngineShutdown run them, with the program
    // folder given (ending in a backslash). Startup returns early, the game asked to quit,
    // when the user cancels at the CD prompt. Shutdown undoes exactly what start-up did, also
    // when no module was ever entered; a second call does nothing.
    void Startup(const std::string& programFolder);
    void Shutdown();
    // True from a start-up's first step until its shutdown.
    bool IsStarted() const { return m_started; }

    // The resource files: "<resource folder><key><digit>.res". OpenResourceFile returns 1 when
    // the module's file is open; with prompt it asks (string 40010) until it opens or the
    // user cancels (the game then quits).
    std::string ResourceFilePath(int module) const;
    BOOL OpenResourceFile(int module, BOOL prompt);
    void CloseResourceFile(int module);

    // The module-relative id rule: an id written by the current module made absolute.
    int32_t MapResourceId(int16_t id) const;

    // The view's and the frame's messages. Each counts as an engine call (CEngineCall).
    // Presents a frame on dc: the first presentation after start-up enters the home module.
    // With no rectangles (the view's paint) the whole screen is presented, else the rectangles
    // given, in place of the dirty list; kind is the transition (transitions.h). Nothing while
    // the busy/presenting guard is set.
    void PresentFrame(HDC dc, const RECT* rects, int rectCount, int kind);
    // The view's timer: one idle step.
    void RunIdle();
    // For waits that take no other messages: a WM_CLOSE waiting in the queue is taken in as the
    // idle step takes it (dispatched under an engine call, so the frame records it as pending).
    // Whether a close is pending.
    bool TakeInClose();
    // Keys (virtual key codes) and left clicks on the view (client coordinates), both ignored
    // while not running or busy (input_dispatch.cpp). Keys: the engine's hot keys first
    // (Ctrl+Alt/Shift+A the grown-ups' section, Ctrl+Q when enabled and Ctrl+X quit, Ctrl+Alt/
    // Shift+S scanning on or off, and while scanning "-", "+", F1..F10 and space), then the
    // module's KeyDown. Clicks: outside a click limit a beep only; the last click point; while
    // scanning the highlighted target only; the navigation buttons; then text words,
    // animations, statics, spots, and animations and statics again with the widened search.
    void OnEngineKeyDown(int32_t virtualKey);
    void OnEngineLButtonDown(POINT point);
    // A click on the frame outside the view: while scanning, the highlighted target.
    void OnEngineSwitchInput(POINT point);
    // What lies under the pointer (under the highlighted scan target while scanning), for the
    // kinds of mask tried in this order: 1 spots (object: the id modulo 1000), 2 statics (their
    // number from 1), 4 animations (the object), 8 text items by word (the item); kind 0 and
    // object 0 for no hit. Returns 1 while the primary button is down.
    int32_t GetUnderMouse(int32_t mask, int32_t& kind, intptr_t& object);
    void GetLastClickPoint(int16_t& x, int16_t& y) const;
    // Clicks outside the rectangle (frame coordinates) only beep; null clears the limit.
    void SetClickLimitRect(const CCorRect* rect);
    // The screen palette's entry in first..last nearest to colour number code, or -1.
    int NearestColourIndex(int16_t code, int first, int last) const;

    // Entering and taking down modules: GoToModule makes module current and runs its Enter,
    // and with full its Notify and Start; UnloadModule runs the current module's Leave.
    void GoToModule(int module, BOOL full);
    // The leaving animation (BeginLeave) runs frames only while a script is still running, so
    // an endless or held ambient script cannot keep the module from leaving.
    void UnloadModule(BOOL withLeavingAnimation);
    // The home button: from the home module the game quits, from any other the previous
    // module is entered again.
    void LeaveModule();
    // Keeps module base / 1000's file open for the shared ids (0: none).
    void SetSharedResourceBase(int32_t base);
    // Makes picture id the background: painted over the whole background surface, the screen
    // invalidated.
    void SetBackground(int32_t id);
    // The screen palette from 'PAL' id; with rebuild the two surfaces are made again with it,
    // else they take its colours. FALSE when the item cannot be read: the old palette stays.
    BOOL LoadModulePalette(int32_t id, BOOL rebuild);

    // Presentation. InvalidateGameRect marks a rectangle of the screen (none: all of it) for
    // the next presentation. Present composes the dirty rectangles in the frame surface
    // (background, spot outlines, animations, navigation buttons, scan highlight) and shows
    // them in the game view through transition kind; nothing while the busy/presenting guard
    // is set (the list keeps its rectangles) or nothing is dirty on the screen.
    // PresentCompose composes without showing (kind 5); StepAndPresent steps every animation
    // once and presents with no transition.
    void InvalidateGameRect(const RECT* r);
    void Present(int16_t kind);
    void PresentCompose();
    void StepAndPresent();
    // The toolbox's immediate redraw: unless the engine is unloading, the scripts run until they
    // settle (not inside Enter or a drag), then what is dirty is presented with kind when it is
    // 0 to 5 or 7 to 10, else with none.
    void RedrawArea(int16_t kind);
    // The busy level (busy_cursor.cpp): BeginBusy raises it and shows the wait cursor; EndBusy
    // lowers it, drops queued mouse and key input and, back at 0, shows the arrow. Each cursor
    // is the module's own (m_moduleCursorA arrow, m_moduleCursorB wait) when it set one.
    void BeginBusy();
    void EndBusy();
    void SetArrowCursor();
    void SetWaitCursor();
    // Draws the text items that meet the dirty rectangles into the frame surface, in list order.
    void DrawTexts();
    // The engine tick of the last idle step a Delay ran (a new Delay sleeps to the next tick
    // first when its step would fall in the same tick).
    uint64_t m_delayStepTick = UINT64_MAX;
    // The window the game is drawn in: the main frame's active view, else the main window.
    HWND GameViewWindow() const;

    // Deferred close. While an engine call from the view or the frame runs (CallDepth() > 0),
    // a WM_CLOSE of the main frame is recorded here and carried out by the application once
    // the call has returned; loops nested in such calls end early when it is set.
    int CallDepth() const { return m_callDepth; }
    bool ClosePending() const { return m_closePending; }
    void SetClosePending(bool pending) { m_closePending = pending; }

    // Held hot keys. A hot key that leaves or switches the module (Ctrl+Alt/Shift+A, Ctrl+Q,
    // Ctrl+X) pressed while another engine call runs (a drag, a followed press: a loop of a
    // module's handler that dispatches keys) is held instead of run under that handler; the
    // loop ends (a drag as a release where the pointer is, a followed press without its
    // action), and the next idle step outside every engine call carries it out. Its virtual
    // key, 0 when none is held.
    int32_t HeldHotKey() const { return m_heldHotKey; }

    // Runs the grown-ups' section as EnterAdultArea does (the title's virtual 7 calls this).
    int16_t RunAdultArea();

    // --- state, in the order of its meaning ---
    HCURSOR m_moduleCursorA = nullptr;
    HCURSOR m_moduleCursorB = nullptr;
    std::string m_programFolder;   // ends in a backslash
    char m_appKey[8] = {};
    std::string m_resourceFolder;  // ends in a backslash once known
    int32_t m_currentModule = 0;
    int32_t m_previousModule = 0;
    // Whether the module entered last has shown a frame yet (the trace says when it first does).
    bool m_enteredFrameShown = true;
    // Whether the game view has shown any frame yet: until it has, it is black, and an entry
    // has nothing to fade out.
    bool m_anyFrameShown = false;
    std::array<CResMgr, kModuleCount> m_resFiles;
    std::unique_ptr<CDibG> m_frameSurface;
    std::unique_ptr<CDibG> m_backgroundSurface;
    int32_t m_backgroundId = 0;
    // The three navigation buttons (left, middle, right) and the background's own static.
    std::array<CTwoStateButton, 3> m_buttons;
    CCorStatic m_backgroundStatic;
    // The screen palette item (the surfaces use its palette) and the fade palette item, both
    // 'PAL' 0 of the shared file; the black index of the palette loaded last.
    std::unique_ptr<CPalItem> m_screenPalette;
    std::unique_ptr<CPalItem> m_fadePalette;
    int32_t m_blackIndex = 0;
    // The module's static pictures, spots and idle callbacks.
    CStaticList m_statics;
    CSpotList m_spots;
    CIdleList m_idles;
    std::unique_ptr<CResItemTable> m_itemCache;
    int32_t m_purgeGuard = 0;
    int32_t m_leaveRequest = 0;
    int16_t m_originX = 0;
    int16_t m_originY = 0;
    int32_t m_showSpots = 0;
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
    ModuleFunctionTable* m_moduleTable = nullptr;
    int32_t m_sharedThreshold = 1000;
    int32_t m_sharedBase = 0;
    std::unique_ptr<CDirtyRectList> m_dirtyRects;
    int32_t m_lastClickX = 0;
    int32_t m_lastClickY = 0;
    uint32_t m_lastTick = 0;
    int32_t m_running = 0;
    int32_t m_inEnter = 0;
    int32_t m_inAdultArea = 0;
    int32_t m_unloading = 0;
    int32_t m_spareNumber = 0;
    CUserPrefs m_prefs{};
    int32_t m_busyLevel = 0;
    // The toolbox's default wait between script frames, in ticks, set again on every entry
    // (as is the text style's colours, m_textStyle).
    int32_t m_frameWait = 2;
    CSoundList m_sounds;
    // Whether the wave output device can set its volume (start-up's check).
    int32_t m_canSetWaveVolume = 0;
    int32_t m_launcherMode = 0;
    char m_launcherSwapPath[260] = {};  // the launcher's swap file, found at start-up
    // Switch-access scanning; its highlight is picture 1, given at start-up. Declared before
    // the display list, which removes its objects' targets as they go.
    CScanner m_scanner;
    // The display list: the animation objects, drawn head to tail.
    CAnimList m_anims;
    // The text overlay list: free text items drawn over the scene and clickable by word, in the
    // order they were made.
    std::vector<std::unique_ptr<CText>> m_texts;
    // The toolbox's current text style, copied by each new text item; it lasts for the run.
    TextStyleRecord m_textStyle{};
    // Scanning switched off by the toolbox's EngineSuspendScan until EngineResumeScan.
    int32_t m_scanSuspended = 0;
    int32_t m_resourcePathFromIni = 0;
    DWORD m_platformVersion = 0;  // the GetVersion word
    std::new_handler m_previousNewHandler = nullptr;
    int32_t m_busyGuard = 0;
    int32_t m_inTick = 0;
    // A picture button's press is being followed (TrackButton's own message loop): the idle
    // step, the module's tick and the idle callbacks wait until it ends.
    int32_t m_trackingButton = 0;
    int32_t m_paletteShown = 0;
    int32_t m_paletteWanted = 0;
    int32_t m_composeOnly = 0;
    // The drag manager and what it asks of the engine (engine_drag_host.cpp).
    std::unique_ptr<IDragHost> m_dragHost;
    CDragMgr m_drag;
    // Scanning blocked by ToggleScan (0): the hot key does nothing; with the flag below, whether
    // scanning was on when the block began.
    int32_t m_scanToggleLock = 0;
    int32_t m_scanWasOn = 0;
    RECT m_clickLimit{};
    int32_t m_movieFlag = 0;
    // The printing flag: set while picture printing makes its page; the message flag: set
    // while one of printing's messages is up. Picture printing sets them through the
    // toolbox's print host (engine/toolbox/picture_print_hosting.h).
    int32_t m_printing = 0;
    int32_t m_messageShowing = 0;
    int32_t m_ctrlAltAEnabled = 1;
    int32_t m_ctrlQEnabled = 1;
    CUserPrefs m_editedPrefs{};

private:
    friend class CEngineCall;

    bool FindResourceFiles();
    bool ProbeFolder(const std::string& folder);
    void RecordCdFolder();
    void CreatePaletteItems();
    void CheckWaveOutput();
    void UndoStartup();
    // Ctrl+Alt+A: fade and black screen, the module unloaded, the grown-ups' sheet, then the
    // module again, the home module or quit.
    void RunAdultHotKey();
    // The hot key of that virtual key, as the keys' dispatch found it: the grown-ups' section
    // or quitting.
    void RunHotKey(int32_t virtualKey);
    // At an idle step outside every engine call: the held hot key, when the engine still
    // allows it.
    void RunHeldHotKey();
    void NotifyModule(int32_t kind);
    // Sleeps tick by tick, servicing the mixer, until no channel plays (or a close is pending).
    void WaitForSoundsToEnd();
    // Waits out the entry's click, then starts the module's introduction when the player wants it.
    void StartIntroduction(int module);
    // The introduction's wait: idle steps while a sound plays; a queued button press or key
    // press (left queued) stops the sounds and ends it.
    void PlayThroughIntroduction();
    void CreateNavigationButtons();
    // Presents the engine's dirty list on the game view's device context, or on dc.
    void PresentToView(int kind);
    void PresentDirtyList(HDC dc, int kind);

    // What start-up acquired, so that shutdown undoes exactly that.
    bool m_started = false;
    bool m_newHandlerInstalled = false;
    bool m_hostsInstalled = false;
    bool m_prefsLoaded = false;
    bool m_fontAdded = false;
    bool m_outputOpened = false;
    std::string m_fontPath;
    std::unique_ptr<CEngineHosts> m_hosts;

    int m_callDepth = 0;
    bool m_closePending = false;
    int32_t m_heldHotKey = 0;
    // A second engine (tests) stands in for the first while it exists.
    CCorEngine* m_previousEngine = nullptr;
};

// The engine object; set when the static object is constructed, before main runs.
extern CCorEngine* theEngine;

// Counts one engine call from the view or the frame for its lifetime (see CallDepth).
class CEngineCall {
public:
    CEngineCall();
    ~CEngineCall();
    CEngineCall(const CEngineCall&) = delete;
    CEngineCall& operator=(const CEngineCall&) = delete;
};

// Removes every queued mouse message (0x200 to 0x209) and then every key message (0x100 to
// 0x108) of the thread.
void FlushQueuedInput();

// Start-up with the program's own folder (GetModuleFileNameA), and shutdown, on theEngine.
void EngineStartup();
void EngineShutdown();

// The program folder of a program path: everything up to and including its last backslash.
std::string ProgramFolderOf(const std::string& programPath);
