#include "app/main_frame.h"

#include <cstring>

#include "app/app_resources.h"
#include "app/daz_view.h"
#include "app/rerava_view.h"
#include "app/zelbo_app.h"
#include "engine/core/cor_engine.h"
#include "engine/core/fatal_error.h"
#include "media/surface/dib_system.h"
#include "platform/afx/exceptions.h"
#include "platform/audio/wave_out.h"
#include "platform/gdi/library.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
    ON_COMMAND(kCmdGameView, OnGameView)
    ON_COMMAND(kCmdView1, OnView1)
    ON_COMMAND(kCmdView2, OnView2)
    ON_COMMAND(kCmdNothing, OnNothing)
    ON_WM_SYSCOMMAND()
    ON_WM_ACTIVATEAPP()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_MESSAGE(MM_WOM_DONE, OnWaveDone)
END_MESSAGE_MAP()

namespace {

constexpr const char* kMakerKey = "Software\\Quorva";
constexpr const char* kIniFile = "QUORVA.INI";
constexpr const char* kIniSection = "COMMON";
constexpr int kTileSize = 32;

bool g_useWinG = false;

// "OFF" (any case) in HKEY_LOCAL_MACHINE\Software\Quorva's value.
bool RegistrySaysOff(const char* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char text[260] = {};
    DWORD type = 0, size = sizeof(text) - 1;
    const bool read = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && type == REG_SZ && lstrcmpi(text, "OFF") == 0;
}

// "OFF" (any case) in QUORVA.INI [COMMON]; a missing key reads "ON".
bool IniSaysOff(const char* key) {
    char text[260] = {};
    GetPrivateProfileStringA(kIniSection, key, "ON", text, sizeof(text), kIniFile);
    return lstrcmpi(text, "OFF") == 0;
}

// The switch anywhere in the command line's tail, in either case (also inside a word).
bool CommandLineHas(char letter) {
    const CWinApp* app = AfxGetApp();
    const char* line = app && app->m_lpCmdLine ? app->m_lpCmdLine : "";
    const char lower[] = {'/', static_cast<char>(letter | 0x20), 0};
    const char upper[] = {'/', static_cast<char>(letter & ~0x20), 0};
    return std::strstr(line, lower) || std::strstr(line, upper);
}

bool WindowsVersion95(DWORD version) {
    return (version & 0x80000000u) && (version & 0xFF) >= 4;
}

bool Win32s(DWORD version) {
    return (version & 0x80000000u) && (version & 0xFF) < 4;
}

DWORD PlatformVersion() {
    return theEngine ? theEngine->m_platformVersion : GetVersion();
}

}  // namespace

bool CMainFrame::WinGChosen() {
    return g_useWinG;
}

CMainFrame::CMainFrame() {
    bool wanted = !RegistrySaysOff("WING");
    if (wanted) wanted = !IniSaysOff("WING") && !CommandLineHas('w');
    HDC screen = ::GetDC(nullptr);
    const bool fits = ::GetDeviceCaps(screen, BITSPIXEL) == 8 && ::GetDeviceCaps(screen, PLANES) == 1;
    ::ReleaseDC(nullptr, screen);
    wanted = wanted && fits;
    CString notice;
    notice.LoadString(kIdsWinGProfileNotice);
    InitDibSystem(notice, !wanted, 0);
    g_useWinG = TheDibSystem().winGInUse;
}

CMainFrame::~CMainFrame() {
    ShutdownDibSystem();
    g_useWinG = false;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.x = 0;
    cs.y = 0;
    cs.cx = GetSystemMetrics(SM_CXSCREEN);
    cs.cy = GetSystemMetrics(SM_CYSCREEN);
    cs.style = static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD defaultStyle, CWnd* parent, CCreateContext* context) {
    const BOOL result = CFrameWnd::LoadFrame(nIDResource, defaultStyle, parent, context);
    if (!result || !m_hWnd) return result;
    // Menu 99: the exit command and the view switch, never shown while the game runs.
    CMenu bar, file, view;
    bar.CreateMenu();
    file.CreatePopupMenu();
    file.AppendMenu(MF_STRING, ID_APP_EXIT, "A&vsluta");
    view.CreatePopupMenu();
    view.AppendMenu(MF_STRING, kCmdGameView, "&Rerava");
    view.AppendMenu(MF_STRING, kCmdView1, "F&1");
    view.AppendMenu(MF_STRING, kCmdView2, "F&2");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(file.Detach()), "&Arkiv");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(view.Detach()), "&Visa");
    SetMenu(&bar);
    bar.Detach();

    if (CMenu* system = GetSystemMenu(FALSE)) {
        system->DeleteMenu(SC_SIZE, MF_BYCOMMAND);
        system->DeleteMenu(SC_MOVE, MF_BYCOMMAND);
        system->DeleteMenu(SC_RESTORE, MF_BYCOMMAND);
    }
    if (CMenu* menu = GetMenu()) {
        HMENU handle = menu->GetSafeHmenu();
        SetMenu(nullptr);
        ::DestroyMenu(handle);
    }
    return result;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    SetWindowText(theEngine->GetTitle());
    m_borderTile.LoadBitmap(kBorderTileBitmap);  // without it the border is not tiled
    return 0;
}

void CMainFrame::OnClose() {
    // Never under an engine call's feet: the application carries the close out once it returns.
    if (theEngine && theEngine->CallDepth() > 0) {
        theEngine->SetClosePending(true);
        return;
    }
    CFrameWnd::OnClose();
}

void CMainFrame::OnDestroy() {
    if (auto* app = dynamic_cast<CZelboApp*>(AfxGetApp()); app && app->m_pMainWnd == this) app->RunExitWork();
    CFrameWnd::OnDestroy();
}

void CMainFrame::OnAppExit() {
    if (auto* app = dynamic_cast<CZelboApp*>(AfxGetApp())) app->ExitHelper();
}

void CMainFrame::OnLButtonDown(UINT, CPoint point) {
    try {
        theEngine->OnEngineSwitchInput(point);
    } catch (CException* e) {
        FatalEngineError(e);
    }
}

void CMainFrame::OnPaint() {
    CPaintDC dc(this);
    if (GetSystemMetrics(SM_CXSCREEN) <= 640) {
        CRect client;
        GetClientRect(&client);
        client.InflateRect(2, 2);
        CBrush black(RGB(0, 0, 0));
        CBrush* oldBrush = dc.SelectObject(&black);
        HGDIOBJ oldPen = ::SelectObject(dc.GetSafeHdc(), ::GetStockObject(NULL_PEN));
        dc.Rectangle(&client);
        ::SelectObject(dc.GetSafeHdc(), oldPen);
        dc.SelectObject(oldBrush);
        return;
    }
    if (!m_borderTile.GetSafeHandle()) return;
    CDC tiles;
    tiles.CreateCompatibleDC(&dc);
    CBitmap* old = tiles.SelectObject(&m_borderTile);
    const RECT& paint = dc.m_ps.rcPaint;
    const int left = paint.left / kTileSize * kTileSize;
    const int top = paint.top / kTileSize * kTileSize;
    for (int y = top; y < paint.bottom; y += kTileSize)
        for (int x = left; x < paint.right; x += kTileSize) dc.BitBlt(x, y, kTileSize, kTileSize, &tiles, 0, 0, SRCCOPY);
    tiles.SelectObject(old);
}

void CMainFrame::OnGameView() {
    SwitchView(0);
}
void CMainFrame::OnView1() {
    SwitchView(1);
}
void CMainFrame::OnView2() {
    SwitchView(2);
}
void CMainFrame::OnNothing() {}

void CMainFrame::SwitchView(int kind) {
    if (kind < 0 || kind > 2 || kind == m_viewKind) return;
    static CRuntimeClass* const kClasses[] = {RUNTIME_CLASS(CReravaView), RUNTIME_CLASS(CDaZ1View),
                                              RUNTIME_CLASS(CDaZ2View)};
    CView* old = GetActiveView();
    CDocument* doc = GetActiveDocument();
    if (old) old->SetDlgCtrlID(kOldViewId);
    CCreateContext context;
    context.m_pNewViewClass = kClasses[kind];
    context.m_pCurrentDoc = doc;
    context.m_pCurrentFrame = this;
    auto* view = dynamic_cast<CView*>(kClasses[kind]->CreateObject());
    if (!view || !view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                               AFX_IDW_PANE_FIRST, &context)) {
        if (view && !view->m_hWnd) delete view;
        if (old) old->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
        return;
    }
    if (doc) doc->AddView(view);  // before the old view goes, so the document stays
    SetActiveView(view);
    if (old) old->DestroyWindow();
    // One first update, after the old view is gone: a new game view starts the engine only
    // once the old one has shut it down.
    view->SendMessage(WM_INITIALUPDATE);
    RecalcLayout();
    m_viewKind = kind;
}

LONG CMainFrame::SetDisplayMode(int width, int height, DWORD flags) {
    using ChangeDisplaySettingsProc = LONG (*)(DEVMODE*, DWORD);
    HMODULE user32 = GetModuleHandle("USER32");
    if (!user32) return 0;
    auto change = reinterpret_cast<ChangeDisplaySettingsProc>(GetProcAddress(user32, "ChangeDisplaySettingsA"));
    if (!change) change = reinterpret_cast<ChangeDisplaySettingsProc>(GetProcAddress(user32, "ChangeDisplaySettings"));
    if (!change) return 0;
    DEVMODE mode;
    mode.dmSize = sizeof(DEVMODE);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    const LONG result = change(&mode, flags);
    if (result != 0) {
        CString failed, text;
        failed.LoadString(kIdsDisplayModeFailed);
        text.Format("%s %d", static_cast<LPCSTR>(failed), static_cast<int>(result));
        AfxMessageBox(text);
    }
    return result;
}

void CMainFrame::OnSysCommand(UINT id, LPARAM lParam) {
    const DWORD version = PlatformVersion();
    const UINT command = id & 0xFFF0;
    if (Win32s(version)) {
        if (command == SC_CLOSE) CFrameWnd::OnSysCommand(id, lParam);
        return;
    }
    if (command == kSysCmdTopmost) {
        CMenu* system = GetSystemMenu(FALSE);
        const UINT state = system ? system->GetMenuState(kSysCmdTopmost, MF_BYCOMMAND) : 0xFFFFFFFFu;
        const bool checked = state != 0xFFFFFFFFu && (state & MF_CHECKED);
        if (system) system->CheckMenuItem(kSysCmdTopmost, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
        ::SetWindowPos(m_hWnd, checked ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (command == SC_SCREENSAVE) {
        SetDisplayMode(0, 0, 0);
        m_displayModeFlag = 0;
    }
    CFrameWnd::OnSysCommand(id, lParam);
}

void CMainFrame::OnActivateApp(BOOL active, DWORD threadId) {
    const DWORD version = PlatformVersion();
    const bool win95 = WindowsVersion95(version);
    int borderX, borderY;
    if (win95) {
        borderX = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER);
        borderY = 2 * GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYFRAME);
    } else {
        borderX = GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER);
        borderY = GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYFRAME);
    }
    if (active && theEngine->m_running) {
        if (CView* view = GetActiveView()) view->Invalidate(FALSE);
    }
    if (m_viewKind == 0) theEngine->m_sounds.SetActive(active != FALSE);
    if (win95) {
        bool resize = active != FALSE;
        if (resize && (RegistrySaysOff("AUTORESIZE") || IniSaysOff("AUTORESIZE") || CommandLineHas('r'))) resize = false;
        if (resize) {
            SetDisplayMode(640, 480, CDS_FULLSCREEN);
            // The frame's edges go off the screen on every side alike, so the view, centred in
            // it, shows the whole game screen from the screen's top-left corner.
            SetWindowPos(nullptr, -borderX, -borderY, GetSystemMetrics(SM_CXSCREEN) + 2 * borderX,
                         GetSystemMetrics(SM_CYSCREEN) + 2 * borderY, SWP_NOZORDER);
        } else if (m_displayModeFlag) {
            SetDisplayMode(0, 0, 0);
        } else {
            m_displayModeFlag = 1;
        }
    }
    CFrameWnd::OnActivateApp(active, threadId);
}

void CMainFrame::OnPaletteChanged(CWnd* focusWnd) {
    if (CView* view = GetActiveView())
        view->SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(focusWnd ? focusWnd->m_hWnd : nullptr));
}

BOOL CMainFrame::OnQueryNewPalette() {
    CView* view = GetActiveView();
    return view ? static_cast<BOOL>(view->SendMessage(WM_QUERYNEWPALETTE)) : FALSE;
}

LRESULT CMainFrame::OnWaveDone(WPARAM, LPARAM) {
    return 1;
}
