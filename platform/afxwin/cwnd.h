// The class library's window object: CCmdTarget with message maps, and CWnd over an HWND.
//
// Message maps are tables made by macros, as in the class library:
//
//   class CMyDlg : public CDialog {
//       ...
//   protected:
//       afx_msg void OnPaint();
//       afx_msg void OnOptions();
//       afx_msg LRESULT OnSliderMoved(WPARAM, LPARAM);
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(1006, OnOptions)
//       ON_MESSAGE(1552, OnSliderMoved)
//   END_MESSAGE_MAP()
//
// A message goes to the first matching entry of the class's map, then of its bases' maps;
// none matching, it goes to the window's previous procedure (the control's or the dialog
// manager's) or DefWindowProc. A base class's handler (CWnd::OnPaint ...) does that default
// processing. Exceptions thrown by handlers are not caught here: they unwind to the message
// loop that dispatched the message (CWinApp::Run, or a modal loop, which cleans up and
// passes them on).
#pragma once

#include <string>
#include <vector>

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"
#include "platform/afx/object.h"
#include "platform/afxwin/afx_types.h"
#include "platform/afxwin/window_api.h"

#define afx_msg

class CCmdTarget;
class CWnd;
class CDC;
class CFont;
class CMenu;
class CScrollBar;
class CDataExchange;
using LPCREATESTRUCT = CREATESTRUCT*;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND and WM_NOTIFY entries match nCode and the id range too
    UINT nCode;
    UINT nID;
    UINT nLastID;
    LRESULT (*pfn)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                      \
        using ThisClass [[maybe_unused]] = theClass;                                       \
        using TheBaseClass = baseClass;                                                    \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                          \
    {0, 0, 0, 0, nullptr}                                                          \
    }                                                                              \
    ;                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
    return &messageMap;                                                            \
    }

// One entry whose body sees `self` (the object as ThisClass), wParam and lParam.
#define ZELBO_ENTRY(msg, code, id, lastId, body)                                                  \
    {msg, code, static_cast<UINT>(id), static_cast<UINT>(lastId),                                \
     [](CCmdTarget* zelboTarget, WPARAM wParam, LPARAM lParam) -> LRESULT {                       \
         [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(zelboTarget);                 \
         (void)wParam;                                                                            \
         (void)lParam;                                                                            \
         body                                                                                     \
     }},
#define ZELBO_MSG(msg, body) ZELBO_ENTRY(msg, 0, 0, 0, body)

#define ON_WM_CREATE() ZELBO_MSG(WM_CREATE, return self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_NCCREATE() ZELBO_MSG(WM_NCCREATE, return self->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_DESTROY() ZELBO_MSG(WM_DESTROY, self->OnDestroy(); return 0;)
#define ON_WM_NCDESTROY() ZELBO_MSG(WM_NCDESTROY, self->OnNcDestroy(); return 0;)
#define ON_WM_PAINT() ZELBO_MSG(WM_PAINT, self->OnPaint(); return 0;)
#define ON_WM_ERASEBKGND() \
    ZELBO_MSG(WM_ERASEBKGND, return self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));)
#define ON_WM_CLOSE() ZELBO_MSG(WM_CLOSE, self->OnClose(); return 0;)
#define ON_WM_TIMER() ZELBO_MSG(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)
#define ON_WM_SIZE() \
    ZELBO_MSG(WM_SIZE, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)
#define ON_WM_MOVE() ZELBO_MSG(WM_MOVE, self->OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;)
#define ON_WM_SHOWWINDOW() \
    ZELBO_MSG(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0;)
#define ON_WM_ACTIVATE()                                                                                  \
    ZELBO_MSG(WM_ACTIVATE, self->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                            HIWORD(wParam));                                              \
              return 0;)
#define ON_WM_ACTIVATEAPP() \
    ZELBO_MSG(WM_ACTIVATEAPP, self->OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)); return 0;)
#define ON_WM_SETFOCUS() \
    ZELBO_MSG(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_KILLFOCUS() \
    ZELBO_MSG(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_ENABLE() ZELBO_MSG(WM_ENABLE, self->OnEnable(static_cast<BOOL>(wParam)); return 0;)
#define ZELBO_KEY_ENTRY(msg, fn)                                                                             \
    ZELBO_MSG(msg, self->fn(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)),               \
                            HIWORD(static_cast<uintptr_t>(lParam)));                                         \
              return 0;)
#define ON_WM_KEYDOWN() ZELBO_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() ZELBO_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_SYSKEYDOWN() ZELBO_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() ZELBO_KEY_ENTRY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_CHAR() ZELBO_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSCHAR() ZELBO_KEY_ENTRY(WM_SYSCHAR, OnSysChar)
#define ZELBO_MOUSE_ENTRY(msg, fn) ZELBO_MSG(msg, self->fn(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)
#define ON_WM_MOUSEMOVE() ZELBO_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() ZELBO_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() ZELBO_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() ZELBO_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() ZELBO_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() ZELBO_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() ZELBO_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() ZELBO_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() ZELBO_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_SETCURSOR()                                                                             \
    ZELBO_MSG(WM_SETCURSOR, return self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                     LOWORD(lParam), HIWORD(lParam));)
#define ON_WM_MOUSEACTIVATE()                                                                                 \
    ZELBO_MSG(WM_MOUSEACTIVATE, return self->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                             LOWORD(lParam), HIWORD(lParam));)
#define ON_WM_HSCROLL()                                                                                     \
    ZELBO_MSG(WM_HSCROLL, self->OnHScroll(LOWORD(wParam), HIWORD(wParam), CWnd::ScrollBarFromHandle(lParam)); \
              return 0;)
#define ON_WM_VSCROLL()                                                                                     \
    ZELBO_MSG(WM_VSCROLL, self->OnVScroll(LOWORD(wParam), HIWORD(wParam), CWnd::ScrollBarFromHandle(lParam)); \
              return 0;)
#define ON_WM_SYSCOMMAND() ZELBO_MSG(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)
#define ON_WM_PALETTECHANGED() \
    ZELBO_MSG(WM_PALETTECHANGED, self->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_QUERYNEWPALETTE() ZELBO_MSG(WM_QUERYNEWPALETTE, return self->OnQueryNewPalette();)
#define ON_WM_WINDOWPOSCHANGING() \
    ZELBO_MSG(WM_WINDOWPOSCHANGING, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;)
#define ON_WM_WINDOWPOSCHANGED() \
    ZELBO_MSG(WM_WINDOWPOSCHANGED, self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;)
#define ON_WM_GETDLGCODE() ZELBO_MSG(WM_GETDLGCODE, return static_cast<LRESULT>(self->OnGetDlgCode());)
#define ON_WM_CAPTURECHANGED() \
    ZELBO_MSG(WM_CAPTURECHANGED, self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))); return 0;)
#define ON_WM_CANCELMODE() ZELBO_MSG(WM_CANCELMODE, self->OnCancelMode(); return 0;)
#define ZELBO_CTLCOLOR_ENTRY(msg, kind)                                                                           \
    ZELBO_MSG(msg, return reinterpret_cast<LRESULT>(self->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), \
                                                                     CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                                                     kind));)
#define ON_WM_CTLCOLOR()                                    \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLOREDIT, CTLCOLOR_EDIT)      \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX) \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLORBTN, CTLCOLOR_BTN)        \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLORDLG, CTLCOLOR_DLG)        \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLORSCROLLBAR, CTLCOLOR_SCROLLBAR) \
    ZELBO_CTLCOLOR_ENTRY(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC)

#define ON_MESSAGE(message, memberFxn) ZELBO_MSG(message, return self->memberFxn(wParam, lParam);)

// Commands and control notifications (WM_COMMAND): the code, then the id or id range.
#define ON_CONTROL(code, id, memberFxn) ZELBO_ENTRY(WM_COMMAND, code, id, id, self->memberFxn(); return 0;)
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn) \
    ZELBO_ENTRY(WM_COMMAND, code, id, idLast, self->memberFxn(LOWORD(wParam)); return 0;)
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) ON_CONTROL_RANGE(0, id, idLast, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
// WM_NOTIFY: void memberFxn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                                                         \
    ZELBO_ENTRY(WM_NOTIFY, code, id, id, LRESULT zelboResult = 0;                              \
                self->memberFxn(reinterpret_cast<NMHDR*>(lParam), &zelboResult); return zelboResult;)

inline constexpr UINT CTLCOLOR_MSGBOX = 0;
inline constexpr UINT CTLCOLOR_EDIT = 1;
inline constexpr UINT CTLCOLOR_LISTBOX = 2;
inline constexpr UINT CTLCOLOR_BTN = 3;
inline constexpr UINT CTLCOLOR_DLG = 4;
inline constexpr UINT CTLCOLOR_SCROLLBAR = 5;
inline constexpr UINT CTLCOLOR_STATIC = 6;

// The class library's command ids used by the programs.
inline constexpr UINT ID_FILE_NEW = 0xE100;
inline constexpr UINT ID_FILE_OPEN = 0xE101;
inline constexpr UINT ID_FILE_CLOSE = 0xE102;
inline constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
inline constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;
inline constexpr UINT ID_FILE_PRINT = 0xE107;
inline constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
inline constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_APP_EXIT = 0xE141;
inline constexpr UINT ID_HELP_INDEX = 0xE142;
inline constexpr UINT ID_HELP_FINDER = 0xE143;
inline constexpr UINT ID_HELP_USING = 0xE144;
inline constexpr UINT ID_CONTEXT_HELP = 0xE145;
inline constexpr UINT ID_HELP = 0xE146;
inline constexpr UINT ID_DEFAULT_HELP = 0xE147;
inline constexpr UINT ID_APPLY_NOW = 0x3021;
inline constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Runs the WM_COMMAND entry (code, id) of this object's map; FALSE when it has none.
    virtual BOOL OnCmdMsg(UINT id, int code);
    // Runs the WM_NOTIFY entry for (code, id); FALSE when it has none.
    BOOL OnNotifyMsg(UINT id, UINT code, LPARAM lParam, LRESULT* result);

    // Message maps (the class library's DECLARE_MESSAGE_MAP, written out for the base).
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP* GetThisMessageMap();

    // Finds the first entry of this object's maps for a message (and code and id).
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
};

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a window: its permanent object, else a temporary wrapper of the class
    // that fits the window's class (CButton for "Button" ...), kept until the next idle
    // time (AfxDeleteTempMaps). Null for a null handle.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    // The scroll-bar control of WM_HSCROLL/WM_VSCROLL (a template, so that CScrollBar, a
    // control's wrapper, need only be complete where a message map uses it).
    template <class ScrollBar = CScrollBar>
    static ScrollBar* ScrollBarFromHandle(LPARAM hwnd) {
        return static_cast<ScrollBar*>(FromHandle(reinterpret_cast<HWND>(hwnd)));
    }
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Routes the window's messages through this object first (its old procedure becomes the
    // default processing).
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creation. The class is registered (RegisterClass or AfxRegisterWndClass); messages of
    // the creation reach this object when the class is one of the platform's.
    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                        void* context = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void DoDataExchange(CDataExchange* dx);
    // Controls to members (save) or members to controls; FALSE when a check failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The message procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // PreTranslateMessage of the objects of msg's window and its parents, up to stop or the
    // top-level window; TRUE when one of them handled it.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);
    // Default processing of the message being handled.
    LRESULT Default();
    static const MSG* GetCurrentMessage();
    WNDPROC* GetSuperWndProcAddr() { return &m_pfnSuper; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Text.
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR buffer, int size) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;

    // Children and relatives.
    CWnd* GetDlgItem(int id) const;
    void GetDlgItem(int id, HWND* out) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    class CFrameWnd* GetParentFrame() const;
    CWnd* GetWindow(UINT cmd) const;
    CWnd* GetNextWindow(UINT flag = GW_HWNDNEXT) const;
    CWnd* GetTopWindow() const;
    BOOL IsChild(const CWnd* wnd) const;
    CWnd* ChildWindowFromPoint(POINT p) const;
    static CWnd* WindowFromPoint(POINT p);
    static CWnd* GetActiveWindow();
    static CWnd* GetForegroundWindow();
    static CWnd* GetDesktopWindow();
    static CWnd* FindWindow(LPCSTR className, LPCSTR windowName);

    // State.
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const { return FALSE; }
    BOOL IsZoomed() const { return FALSE; }

    // Geometry. SetWindowPos and MoveWindow send WM_WINDOWPOSCHANGING first (the handler may
    // change the position) and WM_WINDOWPOSCHANGED after.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    // Centres a pop-up over its owner (or alternate), a child in its parent; kept on screen.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    void GetWindowRect(LPRECT r) const;
    void GetClientRect(LPRECT r) const;
    void ClientToScreen(LPPOINT p) const;
    void ClientToScreen(LPRECT r) const;
    void ScreenToClient(LPPOINT p) const;
    void ScreenToClient(LPRECT r) const;
    void MapWindowPoints(CWnd* to, LPRECT r) const;
    void MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const;
    void BringWindowToTop();
    BOOL SetForegroundWindow();
    CWnd* SetActiveWindow();

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT r, BOOL erase = TRUE);
    void ValidateRect(LPCRECT r);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT r = nullptr, HRGN rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT r, BOOL erase = FALSE);
    void SetRedraw(BOOL redraw = TRUE);
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    CDC* BeginPaint(PAINTSTRUCT* ps);
    void EndPaint(PAINTSTRUCT* ps);

    // Input.
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc);
    BOOL KillTimer(UINT_PTR id);

    // Scroll bars of a scroll-bar control window (SB_CTL) or of this window.
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
    int GetScrollPos(int bar) const;
    void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
    void GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const;
    BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL);

    // Dialog items.
    void SetDlgItemText(int id, LPCSTR text);
    int GetDlgItemText(int id, LPSTR buffer, int size) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int first, int last, int check);
    int GetCheckedRadioButton(int first, int last);
    CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const;
    CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;

    // Menus (kept, never shown).
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* menu);
    CMenu* GetSystemMenu(BOOL revert) const;
    void DrawMenuBar();

    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
    // Help of the application's help file (CWinApp::m_pszHelpFilePath).
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);

protected:
    // The standard handlers: each does the default processing (Default()).
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    afx_msg void OnActivateApp(BOOL active, DWORD threadId);
    afx_msg void OnSetFocus(CWnd* oldWnd);
    afx_msg void OnKillFocus(CWnd* newWnd);
    afx_msg void OnEnable(BOOL enable);
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSysKeyUp(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnSysChar(UINT ch, UINT repeat, UINT flags);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnRButtonUp(UINT flags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnMButtonDown(UINT flags, CPoint point);
    afx_msg void OnMButtonUp(UINT flags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg void OnPaletteChanged(CWnd* focusWnd);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnWindowPosChanging(WINDOWPOS* pos);
    afx_msg void OnWindowPosChanged(WINDOWPOS* pos);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnCaptureChanged(CWnd* wnd);
    afx_msg void OnCancelMode();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);

    WNDPROC m_pfnSuper = nullptr;

    DECLARE_MESSAGE_MAP()

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct ZelboWndAccess;
};

// Insert-after values of SetWindowPos as window objects.
extern const CWnd wndTop;
extern const CWnd wndBottom;
extern const CWnd wndTopMost;
extern const CWnd wndNoTopMost;

// The window procedure of every window with a permanent object.
LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A registered class of the platform's with these attributes; its name stays valid.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);
// Frees the temporary window and GDI objects made by FromHandle.
void AfxDeleteTempMaps();
// The top window of a modal or main loop, for message boxes and dialogs without an owner.
CWnd* AfxGetMainWnd();

namespace plat {
// The controls of a dialog (or any parent) in tab order, descending into control parents
// (WS_EX_CONTROLPARENT: the pages of a sheet) that are visible.
std::vector<HWND> DialogControls(HWND dialog);
}  // namespace plat

namespace plat::afx {
// The class library's wrapper of a window class ("BUTTON" -> CButton): FromHandle makes its
// temporary objects of that class. Each control registers its own wrapper with its window class;
// names compare without regard to case, and the wrapper must be dynamically creatable.
void RegisterWrapperClass(LPCSTR windowClass, CRuntimeClass* wrapper);
// The next window made (by the dialog manager or CreateWindowEx) becomes this object's.
void ExpectCreation(CWnd* wnd);
void CancelCreation(CWnd* wnd);
// The platform's class procedures call this first: during CWnd::CreateEx it makes the new
// window the object's and runs the message through it (result in *result, true).
bool HookCreation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
}  // namespace plat::afx
