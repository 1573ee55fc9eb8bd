// CMainFrame: the game's top-level window. A borderless pop-up over the whole screen holding
// one view; it decides once whether WinG draws, puts the display in full screen while the game
// is the active application (unless switched off), paints the border around the view, forwards
// palette messages to the view, records a close that arrives during an engine call, and runs
// the exit work when it goes.
#pragma once

#include "platform/afxwin/afxwin.h"

// The frame's menu 99 ("&Visa"): the game view and the two plain views; 53251 does nothing.
inline constexpr UINT kCmdGameView = 53248;
inline constexpr UINT kCmdView1 = 53249;
inline constexpr UINT kCmdView2 = 53250;
inline constexpr UINT kCmdNothing = 53251;
// The system menu's item that keeps the window above the others.
inline constexpr UINT kSysCmdTopmost = 16;
// The child id the outgoing view has while its successor is made.
inline constexpr int kOldViewId = 150;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    // Decides whether WinG draws (registry "WING", "QUORVA.INI" [COMMON] WING, "/w" in the
    // command line, a screen of exactly 8 bits per pixel on one plane) and starts the surface
    // layer with that choice.
    CMainFrame();
    // Stops the surface layer.
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The class library's frame, then menu 99 is made and taken away again with SC_SIZE,
    // SC_MOVE and SC_RESTORE: the running game shows no menu.
    BOOL LoadFrame(UINT nIDResource, DWORD defaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr) override;

    // 0 the game view, 1 CDaZ1View, 2 CDaZ2View; other kinds and the current one change nothing.
    void SwitchView(int kind);
    int ViewKind() const { return m_viewKind; }
    // ChangeDisplaySettingsA of "USER32" with a mode of width x height; a failure is shown
    // (string 61281 and the code). 0 when the call cannot be found.
    LONG SetDisplayMode(int width, int height, DWORD flags);

    // Whether the surfaces draw through WinG (decided when the frame was made).
    static bool WinGChosen();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnAppExit();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnPaint();
    afx_msg void OnGameView();
    afx_msg void OnView1();
    afx_msg void OnView2();
    afx_msg void OnNothing();
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg void OnActivateApp(BOOL active, DWORD threadId);
    afx_msg void OnPaletteChanged(CWnd* focusWnd);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg LRESULT OnWaveDone(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    int m_viewKind = 0;
    // Cleared when a screen saver's start restored the display mode; the next deactivation
    // then only sets it again.
    int m_displayModeFlag = 1;
    CBitmap m_borderTile;
};
