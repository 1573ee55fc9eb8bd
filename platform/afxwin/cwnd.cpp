// CCmdTarget's message maps and CWnd: the handle maps, AfxWndProc, creation and
// subclassing, and the window operations.
#include "platform/afxwin/cwnd.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/core/display.h"
#include "platform/afxwin/cdc.h"
#include "platform/afxwin/data_exchange.h"
#include "platform/gdi/look95.h"
#include "platform/afxwin/doc_view.h"
#include "platform/afxwin/framework_dialogs.h"
#include "platform/afxwin/winapp.h"
#include "platform/msgbox/msgbox.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd wndTop;
const CWnd wndBottom;
const CWnd wndTopMost;
const CWnd wndNoTopMost;

namespace {

std::unordered_map<HWND, CWnd*>& Permanent() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& Temporary() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

CWnd* g_creating = nullptr;

std::vector<MSG>& CurrentMessages() {
    static std::vector<MSG> stack;
    return stack;
}

struct MessageScope {
    explicit MessageScope(const MSG& m) { CurrentMessages().push_back(m); }
    ~MessageScope() { CurrentMessages().pop_back(); }
};

std::string UpperName(LPCSTR name) {
    std::string s = name ? name : "";
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Window class (upper case) -> the wrapper its control registered.
std::unordered_map<std::string, CRuntimeClass*>& Wrappers() {
    static std::unordered_map<std::string, CRuntimeClass*> map;
    return map;
}

// The wrapper class that fits a window's class.
CRuntimeClass* WrapperClass(HWND hwnd) {
    char name[256] = {};
    GetClassName(hwnd, name, sizeof(name));
    auto it = Wrappers().find(UpperName(name));
    return it == Wrappers().end() ? RUNTIME_CLASS(CWnd) : it->second;
}

std::unique_ptr<CWnd> MakeWrapper(CRuntimeClass* cls) {
    if (cls != RUNTIME_CLASS(CWnd)) {
        std::unique_ptr<CObject> made(cls->CreateObject());
        if (auto* wnd = dynamic_cast<CWnd*>(made.get())) {
            made.release();
            return std::unique_ptr<CWnd>(wnd);
        }
    }
    return std::make_unique<CWnd>();
}

LRESULT CALLBACK AfxClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT r = 0;
    if (plat::afx::HookCreation(hwnd, msg, wParam, lParam, &r)) return r;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

std::vector<std::string>& RegisteredNames() {
    static std::vector<std::string> names;
    return names;
}

LPCSTR EnsureClass(const std::string& name, UINT style, HCURSOR cursor, HBRUSH brush, HICON icon) {
    WNDCLASS existing;
    if (!GetClassInfo(nullptr, name.c_str(), &existing)) {
        WNDCLASS wc;
        wc.style = style;
        wc.lpfnWndProc = AfxClassProc;
        wc.hCursor = cursor;
        wc.hbrBackground = brush;
        wc.hIcon = icon;
        wc.lpszClassName = name.c_str();
        RegisterClass(&wc);
    }
    auto& names = RegisteredNames();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        names.push_back(name);
        it = names.end() - 1;
    }
    return it->c_str();
}

void EnsureAfxClasses() {
    EnsureClass("AfxWnd", 0x0008, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    EnsureClass("AfxFrameOrView", 0x0008 | 0x0001 | 0x0002, LoadCursor(nullptr, IDC_ARROW),
                reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)), nullptr);
}

}  // namespace

namespace plat::afx {

void RegisterWrapperClass(LPCSTR windowClass, CRuntimeClass* wrapper) {
    if (windowClass && wrapper) Wrappers()[UpperName(windowClass)] = wrapper;
}

void ExpectCreation(CWnd* wnd) {
    g_creating = wnd;
}

void CancelCreation(CWnd* wnd) {
    if (g_creating == wnd) g_creating = nullptr;
}

bool HookCreation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_NCCREATE || !g_creating) return false;
    CWnd* wnd = g_creating;
    g_creating = nullptr;
    wnd->Attach(hwnd);
    *wnd->GetSuperWndProcAddr() = reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC));
    SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    *result = AfxWndProc(hwnd, message, wParam, lParam);
    return true;
}

}  // namespace plat::afx

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    char name[96];
    std::snprintf(name, sizeof(name), "Afx:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    return EnsureClass(name, classStyle, cursor, background, icon);
}

void AfxDeleteTempMaps() {
    Temporary().clear();
    plat::afx::DeleteTempGdiMaps();
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

// ---- CCmdTarget ---------------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
            if (e->nMessage != message) continue;
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (e->nCode == code && id >= e->nID && id <= e->nLastID) return e;
            } else {
                return e;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(WM_COMMAND, static_cast<UINT>(code), id);
    if (!e) return FALSE;
    e->pfn(this, MAKEWPARAM(static_cast<int>(id), code), 0);
    return TRUE;
}

BOOL CCmdTarget::OnNotifyMsg(UINT id, UINT code, LPARAM lParam, LRESULT* result) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(WM_NOTIFY, code, id);
    if (!e) return FALSE;
    const LRESULT r = e->pfn(this, id, lParam);
    if (result) *result = r;
    return TRUE;
}

void CCmdTarget::BeginWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(1);
}
void CCmdTarget::EndWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(-1);
}
void CCmdTarget::RestoreWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->DoWaitCursor(0);
}

// ---- CWnd: maps and procedure ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
    plat::afx::CancelCreation(this);
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (IsWindow(m_hWnd)) {
            ::DestroyWindow(m_hWnd);
        }
        if (m_hWnd) Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = Permanent().find(hwnd);
    return it == Permanent().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* w = FromHandlePermanent(hwnd)) return w;
    CRuntimeClass* want = IsWindow(hwnd) ? WrapperClass(hwnd) : RUNTIME_CLASS(CWnd);
    auto& temps = Temporary();
    auto it = temps.find(hwnd);
    if (it != temps.end() && it->second->GetRuntimeClass() == want) return it->second.get();
    std::unique_ptr<CWnd> w = MakeWrapper(want);
    w->m_hWnd = hwnd;
    CWnd* raw = w.get();
    temps[hwnd] = std::move(w);
    return raw;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    Permanent()[hwnd] = this;
    auto& temps = Temporary();
    if (auto it = temps.find(hwnd); it != temps.end()) {
        it->second->m_hWnd = nullptr;
        temps.erase(it);
    }
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        auto it = Permanent().find(h);
        if (it != Permanent().end() && it->second == this) Permanent().erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!IsWindow(hwnd) || FromHandlePermanent(hwnd)) return FALSE;
    const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC));
    if (old == &AfxWndProc) return FALSE;
    if (!Attach(hwnd)) return FALSE;
    m_pfnSuper = old;
    SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return DefWindowProc(hwnd, message, wParam, lParam);
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    MessageScope scope(m);
    const LRESULT r = wnd->WindowProc(message, wParam, lParam);
    // The non-client frame and caption of top-level windows, whoever painted the client.
    if (message == WM_PAINT && IsWindow(hwnd) && !(GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
        plat::look::PaintWindowFrame(hwnd);
    return r;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (!OnNotify(wParam, lParam, &r)) return FALSE;
        *result = r;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(message, 0, 0);
    if (!e) return FALSE;
    *result = e->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (!nm) return FALSE;
    return OnNotifyMsg(static_cast<UINT>(nm->idFrom), nm->code, lParam, result);
}

const MSG* CWnd::GetCurrentMessage() {
    static MSG none;
    return CurrentMessages().empty() ? &none : &CurrentMessages().back();
}

LRESULT CWnd::Default() {
    const MSG* m = GetCurrentMessage();
    return DefWindowProc(m->message, m->wParam, m->lParam);
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        CWnd* w = FromHandlePermanent(h);
        if (w && w->PreTranslateMessage(msg)) return TRUE;
        if (h == stop || !(GetWindowLong(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

// ---- Creation -------------------------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = "AfxWnd";
    return TRUE;
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}
void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    EnsureAfxClasses();
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    struct Expect {
        CWnd* wnd;
        ~Expect() { plat::afx::CancelCreation(wnd); }
    } expect{this};
    plat::afx::ExpectCreation(this);
    HWND h = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx,
                              cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!h) return FALSE;
    if (g_creating == this) {
        // A class of the program's own: its creation messages went to its procedure.
        g_creating = nullptr;
        SubclassWindow(h);
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const plat::afx::DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

// ---- Standard handlers ------------------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnNcDestroy() {
    // The window's menus go with it, as Windows destroys them.
    ::GetSystemMenu(m_hWnd, TRUE);
    if (HMENU bar = ::GetMenu(m_hWnd)) ::DestroyMenu(bar);
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Default();
    Detach();
    PostNcDestroy();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnActivateApp(BOOL, DWORD) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonUp(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return static_cast<int>(Default());
}
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnPaletteChanged(CWnd*) {
    Default();
}
BOOL CWnd::OnQueryNewPalette() {
    return static_cast<BOOL>(Default());
}
void CWnd::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}
void CWnd::OnWindowPosChanged(WINDOWPOS*) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return static_cast<UINT>(Default());
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
void CWnd::OnCancelMode() {
    Default();
}
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}

// ---- Operations ---------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessage(m_hWnd, id, message, wParam, lParam);
}
void CWnd::SetWindowText(LPCSTR text) {
    ::SetWindowText(m_hWnd, text);
}
int CWnd::GetWindowText(LPSTR buffer, int size) const {
    return ::GetWindowText(m_hWnd, buffer, size);
}
void CWnd::GetWindowText(CString& text) const {
    const int n = GetWindowTextLength();
    const int got = ::GetWindowText(m_hWnd, text.GetBuffer(n), n + 1);
    text.ReleaseBuffer(got);
}
int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLength(m_hWnd);
}
void CWnd::SetFont(CFont* font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}
CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}
CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}
void CWnd::GetDlgItem(int id, HWND* out) const {
    if (out) *out = ::GetDlgItem(m_hWnd, id);
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
int CWnd::SetDlgCtrlID(int id) {
    return static_cast<int>(SetWindowLongPtr(m_hWnd, GWLP_ID, id));
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::GetOwner() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    while (h && (GetWindowLong(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return FromHandle(h);
}
CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        if (auto* f = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h))) return f;
        if (!(GetWindowLong(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}
CWnd* CWnd::GetWindow(UINT cmd) const {
    return FromHandle(::GetWindow(m_hWnd, cmd));
}
CWnd* CWnd::GetNextWindow(UINT flag) const {
    return FromHandle(::GetWindow(m_hWnd, flag));
}
CWnd* CWnd::GetTopWindow() const {
    return FromHandle(::GetTopWindow(m_hWnd));
}
BOOL CWnd::IsChild(const CWnd* wnd) const {
    return wnd ? ::IsChild(m_hWnd, wnd->m_hWnd) : FALSE;
}
CWnd* CWnd::ChildWindowFromPoint(POINT p) const {
    return FromHandle(::ChildWindowFromPoint(m_hWnd, p));
}
CWnd* CWnd::WindowFromPoint(POINT p) {
    return FromHandle(::WindowFromPoint(p));
}
CWnd* CWnd::GetActiveWindow() {
    return FromHandle(::GetActiveWindow());
}
CWnd* CWnd::GetForegroundWindow() {
    return FromHandle(::GetForegroundWindow());
}
CWnd* CWnd::GetDesktopWindow() {
    return nullptr;
}
CWnd* CWnd::FindWindow(LPCSTR className, LPCSTR windowName) {
    return FromHandle(::FindWindow(className, windowName));
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLong(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLong(m_hWnd, GWL_EXSTYLE));
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    const DWORD style = GetStyle();
    const DWORD next = (style & ~remove) | add;
    if (next == style) return FALSE;
    SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(next));
    return TRUE;
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    const DWORD style = GetExStyle();
    const DWORD next = (style & ~remove) | add;
    if (next == style) return FALSE;
    SetWindowLong(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(next));
    return TRUE;
}
BOOL CWnd::ShowWindow(int cmd) {
    return ::ShowWindow(m_hWnd, cmd);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (!IsWindow(m_hWnd)) return FALSE;
    HWND after = nullptr;
    if (insertAfter == &wndTop) after = HWND_TOP;
    else if (insertAfter == &wndBottom) after = HWND_BOTTOM;
    else if (insertAfter == &wndTopMost) after = HWND_TOPMOST;
    else if (insertAfter == &wndNoTopMost) after = HWND_NOTOPMOST;
    else if (insertAfter) after = insertAfter->m_hWnd;
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    if (GetStyle() & WS_CHILD) {
        POINT tl{r.left, r.top};
        ::ScreenToClient(::GetParent(m_hWnd), &tl);
        r = RECT{tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
    }
    WINDOWPOS wp;
    wp.hwnd = m_hWnd;
    wp.hwndInsertAfter = after;
    wp.x = (flags & SWP_NOMOVE) ? r.left : x;
    wp.y = (flags & SWP_NOMOVE) ? r.top : y;
    wp.cx = (flags & SWP_NOSIZE) ? r.right - r.left : cx;
    wp.cy = (flags & SWP_NOSIZE) ? r.bottom - r.top : cy;
    wp.flags = flags;
    HWND self = m_hWnd;
    ::SendMessage(self, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!IsWindow(self)) return FALSE;
    const BOOL ok = ::SetWindowPos(self, wp.hwndInsertAfter, wp.x, wp.y, wp.cx, wp.cy, wp.flags);
    if (IsWindow(self)) ::SendMessage(self, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return ok;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL) {
    SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
void CWnd::MoveWindow(LPCRECT r, BOOL repaint) {
    if (r) MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT wr;
    ::GetWindowRect(m_hWnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (GetStyle() & WS_CHILD) {
        RECT pc;
        ::GetClientRect(::GetParent(m_hWnd), &pc);
        SetWindowPos(nullptr, (pc.right - w) / 2, (pc.bottom - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT area{0, 0, plat::kScreenWidth, plat::kScreenHeight};
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetParent(m_hWnd);
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    if (owner && ::IsWindowVisible(owner)) ::GetWindowRect(owner, &area);
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    x = std::max(0, std::min(x, plat::kScreenWidth - w));
    y = std::max(0, std::min(y, plat::kScreenHeight - h));
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::GetWindowRect(LPRECT r) const {
    ::GetWindowRect(m_hWnd, r);
}
void CWnd::GetClientRect(LPRECT r) const {
    ::GetClientRect(m_hWnd, r);
}
void CWnd::ClientToScreen(LPPOINT p) const {
    ::ClientToScreen(m_hWnd, p);
}
void CWnd::ClientToScreen(LPRECT r) const {
    POINT a{r->left, r->top}, b{r->right, r->bottom};
    ::ClientToScreen(m_hWnd, &a);
    ::ClientToScreen(m_hWnd, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
}
void CWnd::ScreenToClient(LPPOINT p) const {
    ::ScreenToClient(m_hWnd, p);
}
void CWnd::ScreenToClient(LPRECT r) const {
    POINT a{r->left, r->top}, b{r->right, r->bottom};
    ::ScreenToClient(m_hWnd, &a);
    ::ScreenToClient(m_hWnd, &b);
    *r = RECT{a.x, a.y, b.x, b.y};
}
void CWnd::MapWindowPoints(CWnd* to, LPRECT r) const {
    ClientToScreen(r);
    if (to) to->ScreenToClient(r);
}
void CWnd::MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const {
    for (UINT i = 0; i < count; ++i) {
        ClientToScreen(&points[i]);
        if (to) to->ScreenToClient(&points[i]);
    }
}
void CWnd::BringWindowToTop() {
    ::BringWindowToTop(m_hWnd);
}
BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}
CWnd* CWnd::SetActiveWindow() {
    return FromHandle(::SetActiveWindow(m_hWnd));
}
void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
void CWnd::InvalidateRect(LPCRECT r, BOOL erase) {
    ::InvalidateRect(m_hWnd, r, erase);
}
void CWnd::ValidateRect(LPCRECT r) {
    ::ValidateRect(m_hWnd, r);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
BOOL CWnd::RedrawWindow(LPCRECT r, HRGN rgn, UINT flags) {
    return ::RedrawWindow(m_hWnd, r, rgn, flags);
}
BOOL CWnd::GetUpdateRect(LPRECT r, BOOL erase) {
    return ::GetUpdateRect(m_hWnd, r, erase);
}
void CWnd::SetRedraw(BOOL redraw) {
    if (redraw) Invalidate();
}
CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}
CDC* CWnd::GetWindowDC() {
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}
int CWnd::ReleaseDC(CDC* dc) {
    if (!dc) return 0;
    HDC h = dc->m_hDC;
    plat::afx::ForgetTempDc(h);
    return ::ReleaseDC(m_hWnd, h);
}
CDC* CWnd::BeginPaint(PAINTSTRUCT* ps) {
    return CDC::FromHandle(::BeginPaint(m_hWnd, ps));
}
void CWnd::EndPaint(PAINTSTRUCT* ps) {
    if (ps) plat::afx::ForgetTempDc(ps->hdc);
    ::EndPaint(m_hWnd, ps);
}
CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}
CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}
CWnd* CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapseMs, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}
int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) {
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
}
int CWnd::GetScrollPos(int bar) const {
    return ::GetScrollPos(m_hWnd, bar);
}
void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw) {
    ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
}
void CWnd::GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const {
    ::GetScrollRange(m_hWnd, bar, minPos, maxPos);
}
BOOL CWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) {
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
    return info != nullptr;
}
BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) {
    if (!info) return FALSE;
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
}
void CWnd::SetDlgItemText(int id, LPCSTR text) {
    ::SetDlgItemText(m_hWnd, id, text);
}
int CWnd::GetDlgItemText(int id, LPSTR buffer, int size) const {
    return static_cast<int>(::GetDlgItemText(m_hWnd, id, buffer, size));
}
int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND c = ::GetDlgItem(m_hWnd, id);
    if (!c) {
        text.Empty();
        return 0;
    }
    const int n = ::GetWindowTextLength(c);
    const int got = ::GetWindowText(c, text.GetBuffer(n), n + 1);
    text.ReleaseBuffer(got);
    return got;
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
    ::SetDlgItemInt(m_hWnd, id, value, isSigned);
}
UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}
void CWnd::CheckDlgButton(int id, UINT check) {
    ::CheckDlgButton(m_hWnd, id, check);
}
UINT CWnd::IsDlgButtonChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id);
}
void CWnd::CheckRadioButton(int first, int last, int check) {
    ::CheckRadioButton(m_hWnd, first, last, check);
}
int CWnd::GetCheckedRadioButton(int first, int last) {
    for (int id = first; id <= last; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id)) return id;
    return 0;
}
CWnd* CWnd::GetNextDlgTabItem(CWnd* control, BOOL previous) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, BOOL previous) const {
    return FromHandle(::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}
CMenu* CWnd::GetMenu() const {
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}
BOOL CWnd::SetMenu(CMenu* menu) {
    return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr);
}
CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}
void CWnd::DrawMenuBar() {
    ::DrawMenuBar(m_hWnd);
}
int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    CString title;
    if (!caption) {
        if (CWinApp* app = AfxGetApp()) title = app->m_pszAppName;
        caption = title;
    }
    return ::MessageBox(m_hWnd, text, caption, type);
}
void CWnd::WinHelp(DWORD_PTR data, UINT command) {
    CWinApp* app = AfxGetApp();
    plat::afx::FrameworkDialogs().Help(m_hWnd, app ? app->m_pszHelpFilePath : nullptr, command, data);
}
