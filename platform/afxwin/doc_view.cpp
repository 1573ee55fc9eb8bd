// Menus (kept, never shown), the document, the view, the frame and the single-document
// template.
#include "platform/afxwin/doc_view.h"

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_map>

#include "platform/afx/string_table.h"
#include "platform/afxwin/framework_dialogs.h"
#include "platform/print/print.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)
IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

// ---- Menus --------------------------------------------------------------------------------------

namespace {

struct MenuObj;
struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::string text;
    MenuObj* popup = nullptr;
};
struct MenuObj {
    std::vector<MenuItem> items;
};

std::set<MenuObj*>& LiveMenus() {
    static std::set<MenuObj*> menus;
    return menus;
}
std::unordered_map<HWND, HMENU>& WindowMenus() {
    static std::unordered_map<HWND, HMENU> m;
    return m;
}
std::unordered_map<HWND, HMENU>& SystemMenus() {
    static std::unordered_map<HWND, HMENU> m;
    return m;
}

MenuObj* Menu(HMENU h) {
    auto* m = reinterpret_cast<MenuObj*>(h);
    return LiveMenus().count(m) ? m : nullptr;
}

HMENU NewMenu() {
    auto* m = new MenuObj;
    LiveMenus().insert(m);
    return reinterpret_cast<HMENU>(m);
}

// The item at a position or with a command id (searching submenus), and the menu it is in.
MenuItem* FindItem(MenuObj* m, UINT item, UINT flags, MenuObj** owner = nullptr) {
    if (!m) return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) return nullptr;
        if (owner) *owner = m;
        return &m->items[item];
    }
    for (MenuItem& it : m->items) {
        if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == item) {
            if (owner) *owner = m;
            return &it;
        }
        if (it.popup)
            if (MenuItem* found = FindItem(it.popup, item, flags, owner)) return found;
    }
    return nullptr;
}

void Prune(std::unordered_map<HWND, HMENU>& map) {
    for (auto it = map.begin(); it != map.end();) it = IsWindow(it->first) ? std::next(it) : map.erase(it);
}

// The wrappers FromHandle makes do not own their menus: the map lets go of the handles before
// the wrappers go (at program exit too), so their destructors destroy no menu and never look
// into the map while it is being torn down.
struct TempMenuMap : std::unordered_map<HMENU, std::unique_ptr<CMenu>> {
    ~TempMenuMap() {
        for (auto& entry : *this) entry.second->Detach();
    }
};

TempMenuMap& TempMenus() {
    static TempMenuMap m;
    return m;
}

}  // namespace

HMENU CreateMenu() {
    return NewMenu();
}
HMENU CreatePopupMenu() {
    return NewMenu();
}
BOOL DestroyMenu(HMENU h) {
    MenuObj* m = Menu(h);
    if (!m) return FALSE;
    for (MenuItem& it : m->items)
        if (it.popup) DestroyMenu(reinterpret_cast<HMENU>(it.popup));
    LiveMenus().erase(m);
    delete m;
    for (auto* map : {&WindowMenus(), &SystemMenus()})
        for (auto it = map->begin(); it != map->end();) it = it->second == h ? map->erase(it) : std::next(it);
    return TRUE;
}
BOOL InsertMenu(HMENU h, UINT position, UINT flags, UINT_PTR id, LPCSTR text) {
    MenuObj* m = Menu(h);
    if (!m) return FALSE;
    MenuItem item;
    item.flags = flags & ~MF_BYPOSITION;
    item.id = id;
    item.text = (flags & MF_SEPARATOR) || !text ? "" : text;
    if (flags & MF_POPUP) item.popup = Menu(reinterpret_cast<HMENU>(id));
    size_t at = m->items.size();
    if (position != kMenuError) {
        if (flags & MF_BYPOSITION) {
            at = std::min<size_t>(position, m->items.size());
        } else {
            for (size_t i = 0; i < m->items.size(); ++i)
                if (m->items[i].id == position) at = i;
        }
    }
    m->items.insert(m->items.begin() + static_cast<ptrdiff_t>(at), item);
    return TRUE;
}
BOOL AppendMenu(HMENU h, UINT flags, UINT_PTR id, LPCSTR text) {
    return InsertMenu(h, kMenuError, flags | MF_BYPOSITION, id, text);
}
BOOL RemoveMenu(HMENU h, UINT position, UINT flags) {
    MenuObj* owner = nullptr;
    MenuItem* it = FindItem(Menu(h), position, flags, &owner);
    if (!it) return FALSE;
    owner->items.erase(owner->items.begin() + (it - owner->items.data()));
    return TRUE;
}
BOOL DeleteMenu(HMENU h, UINT position, UINT flags) {
    MenuObj* owner = nullptr;
    MenuItem* it = FindItem(Menu(h), position, flags, &owner);
    if (!it) return FALSE;
    if (it->popup) DestroyMenu(reinterpret_cast<HMENU>(it->popup));
    owner->items.erase(owner->items.begin() + (it - owner->items.data()));
    return TRUE;
}
DWORD CheckMenuItem(HMENU h, UINT item, UINT flags) {
    MenuItem* it = FindItem(Menu(h), item, flags);
    if (!it) return kMenuError;
    const DWORD was = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return was;
}
BOOL EnableMenuItem(HMENU h, UINT item, UINT flags) {
    MenuItem* it = FindItem(Menu(h), item, flags);
    if (!it) return -1;
    const UINT was = it->flags & (MF_GRAYED | MF_DISABLED);
    it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(was);
}
UINT GetMenuState(HMENU h, UINT item, UINT flags) {
    MenuItem* it = FindItem(Menu(h), item, flags);
    if (!it) return kMenuError;
    return it->flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP);
}
int GetMenuItemCount(HMENU h) {
    MenuObj* m = Menu(h);
    return m ? static_cast<int>(m->items.size()) : -1;
}
UINT GetMenuItemID(HMENU h, int position) {
    MenuObj* m = Menu(h);
    if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return kMenuError;
    const MenuItem& it = m->items[static_cast<size_t>(position)];
    return it.popup ? kMenuError : static_cast<UINT>(it.id);
}
HMENU GetSubMenu(HMENU h, int position) {
    MenuObj* m = Menu(h);
    if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return nullptr;
    return reinterpret_cast<HMENU>(m->items[static_cast<size_t>(position)].popup);
}
HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!IsWindow(hwnd)) return nullptr;
    Prune(SystemMenus());
    auto& menus = SystemMenus();
    auto it = menus.find(hwnd);
    if (revert) {
        if (it != menus.end()) DestroyMenu(it->second);
        return nullptr;
    }
    if (it != menus.end() && Menu(it->second)) return it->second;
    HMENU m = NewMenu();
    AppendMenu(m, MF_STRING, SC_RESTORE, "\xC5te&rst\xE4ll");
    AppendMenu(m, MF_STRING, SC_MOVE, "&Flytta");
    AppendMenu(m, MF_STRING, SC_SIZE, "&Storlek");
    AppendMenu(m, MF_STRING, SC_MINIMIZE, "Mi&nimera");
    AppendMenu(m, MF_STRING, SC_MAXIMIZE, "Ma&ximera");
    AppendMenu(m, MF_SEPARATOR, 0, nullptr);
    AppendMenu(m, MF_STRING, SC_CLOSE, "&St\xE4ng\tAlt+F4");
    menus[hwnd] = m;
    return m;
}
HMENU GetMenu(HWND hwnd) {
    Prune(WindowMenus());
    auto it = WindowMenus().find(hwnd);
    return it != WindowMenus().end() && Menu(it->second) ? it->second : nullptr;
}
BOOL SetMenu(HWND hwnd, HMENU menu) {
    if (!IsWindow(hwnd)) return FALSE;
    if (menu)
        WindowMenus()[hwnd] = menu;
    else
        WindowMenus().erase(hwnd);
    return TRUE;
}
BOOL DrawMenuBar(HWND hwnd) {
    return IsWindow(hwnd);
}

CMenu::~CMenu() {
    DestroyMenu();
}
CMenu* CMenu::FromHandle(HMENU h) {
    if (!h) return nullptr;
    auto& temps = TempMenus();
    auto it = temps.find(h);
    if (it != temps.end()) return it->second.get();
    auto m = std::make_unique<CMenu>();
    m->m_hMenu = h;
    CMenu* raw = m.get();
    temps[h] = std::move(m);
    return raw;
}
BOOL CMenu::Attach(HMENU h) {
    if (!h || m_hMenu) return FALSE;
    m_hMenu = h;
    return TRUE;
}
HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    m_hMenu = nullptr;
    return h;
}
BOOL CMenu::CreateMenu() {
    return Attach(::CreateMenu());
}
BOOL CMenu::CreatePopupMenu() {
    return Attach(::CreatePopupMenu());
}
BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    HMENU h = Detach();
    auto& temps = TempMenus();
    if (auto it = temps.find(h); it != temps.end() && it->second.get() != this) {
        it->second->m_hMenu = nullptr;
        temps.erase(it);
    }
    return ::DestroyMenu(h);
}
BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR text) {
    return ::AppendMenu(m_hMenu, flags, id, text);
}
BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, LPCSTR text) {
    return ::InsertMenu(m_hMenu, position, flags, id, text);
}
BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    return ::DeleteMenu(m_hMenu, position, flags);
}
BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
    return ::RemoveMenu(m_hMenu, position, flags);
}
UINT CMenu::CheckMenuItem(UINT item, UINT check) {
    return ::CheckMenuItem(m_hMenu, item, check);
}
UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, item, enable));
}
UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    return ::GetMenuState(m_hMenu, item, flags);
}
int CMenu::GetMenuItemCount() const {
    return ::GetMenuItemCount(m_hMenu);
}
UINT CMenu::GetMenuItemID(int position) const {
    return ::GetMenuItemID(m_hMenu, position);
}
CMenu* CMenu::GetSubMenu(int position) const {
    return FromHandle(::GetSubMenu(m_hMenu, position));
}

// ---- CPrintInfo ---------------------------------------------------------------------------------

CPrintInfo::CPrintInfo() : m_pPD(plat::afx::FrameworkDialogs().NewPrintDialog()) {}
CPrintInfo::~CPrintInfo() {
    plat::afx::FrameworkDialogs().DeletePrintDialog(m_pPD);
}

// ---- CDocument ----------------------------------------------------------------------------------

CDocument::~CDocument() {
    for (CView* v : m_views) v->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR path) {
    DeleteContents();
    SetModifiedFlag(FALSE);
    m_strPathName = path;
    return TRUE;
}

void CDocument::OnCloseDocument() {
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;  // not deleted while its views go
    std::vector<CView*> views = m_views;
    for (CView* v : views) {
        if (std::find(m_views.begin(), m_views.end(), v) == m_views.end()) continue;
        CFrameWnd* frame = v->GetParentFrame();
        if (frame && IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        else if (IsWindow(v->m_hWnd))
            v->DestroyWindow();
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

void CDocument::DeleteContents() {}
BOOL CDocument::IsModified() {
    return m_bModified;
}
void CDocument::SetModifiedFlag(BOOL modified) {
    m_bModified = modified;
}
BOOL CDocument::SaveModified() {
    return TRUE;
}
void CDocument::SetTitle(LPCSTR title) {
    m_strTitle = title;
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
    if (m_views.empty() && m_bAutoDelete) OnCloseDocument();
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_views.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
}

CView* CDocument::GetNextView(POSITION& pos) const {
    const auto i = reinterpret_cast<uintptr_t>(pos);
    if (i == 0 || i > m_views.size()) {
        pos = nullptr;
        return nullptr;
    }
    CView* v = m_views[i - 1];
    pos = i < m_views.size() ? reinterpret_cast<POSITION>(i + 1) : nullptr;
    return v;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    for (CView* v : std::vector<CView*>(m_views))
        if (v != sender) v->OnUpdate(sender, hint, hintObject);
}

// ---- CView --------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = "AfxFrameOrView";
    // As the class library does on Windows 95: the border becomes the 3-D client edge.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~static_cast<LONG>(WS_BORDER);
    }
    return TRUE;
}

void CView::PostNcDestroy() {
    delete this;
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

int CView::OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message) {
    const int r = CWnd::OnMouseActivate(desktop, hitTest, message);
    if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(this);
    return r;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}
void CView::OnActivateView(BOOL, CView*, CView*) {}
BOOL CView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}
void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* dc, CPrintInfo*) {
    OnDraw(dc);
}
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

BOOL CView::DoPreparePrinting(CPrintInfo* info) {
    if (!info || !info->m_pPD) return FALSE;
    return plat::afx::FrameworkDialogs().PreparePrinting(info);
}

void CView::OnFilePrint() {
    CPrintInfo info;
    const MSG* current = GetCurrentMessage();
    info.m_bDirect = current->message == WM_COMMAND && LOWORD(current->wParam) == ID_FILE_PRINT_DIRECT;
    if (!OnPreparePrinting(&info)) return;
    CDC dc;
    dc.Attach(plat::afx::FrameworkDialogs().TakePrinterDC(&info));
    DOCINFO doc;
    CString title = m_pDocument ? m_pDocument->GetTitle() : CString();
    doc.lpszDocName = title;
    OnBeginPrinting(&dc, &info);
    if (dc.StartDoc(&doc) > 0) {
        for (UINT page = info.GetMinPage(); page <= info.GetMaxPage() && info.m_bContinuePrinting; ++page) {
            info.m_nCurPage = page;
            if (dc.StartPage() <= 0) break;
            info.m_rectDraw = CRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
            OnPrepareDC(&dc, &info);
            OnPrint(&dc, &info);
            dc.EndPage();
        }
        dc.EndDoc();
    }
    OnEndPrinting(&dc, &info);
    ::DeleteDC(dc.Detach());
}

void CView::OnFilePrintPreview() {
    MessageBeep(0);
}

// ---- CFrameWnd ----------------------------------------------------------------------------------

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = "AfxFrameOrView";
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    return TRUE;
}

void CFrameWnd::PostNcDestroy() {
    delete this;
}

BOOL CFrameWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                       LPCSTR, DWORD exStyle, CCreateContext* context) {
    // Right minus left of the default rectangle wraps to CW_USEDEFAULT, as on Windows.
    const int width = static_cast<int>(static_cast<uint32_t>(rect.right) - static_cast<uint32_t>(rect.left));
    const int height = static_cast<int>(static_cast<uint32_t>(rect.bottom) - static_cast<uint32_t>(rect.top));
    m_pCreating = context;
    const BOOL ok = CreateEx(exStyle, className, windowName, style, rect.left, rect.top, width, height,
                             parent ? parent->m_hWnd : nullptr, nullptr, context);
    return ok;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD defaultStyle, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = nIDResource;
    std::string title;
    if (auto s = plat::LookupString(nIDResource)) title = s->substr(0, s->find('\n'));
    return Create(nullptr, title.c_str(), defaultStyle, rectDefault, parent, nullptr, 0, context);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (!OnCreateClient(cs, context)) return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (context && context->m_pNewViewClass) return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    if (!context || !context->m_pNewViewClass) return nullptr;
    CObject* obj = context->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(obj);
    if (!view) {
        delete obj;
        return nullptr;
    }
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, id, context)) {
        if (!view->m_hWnd) delete view;
        return nullptr;
    }
    if (auto* v = dynamic_cast<CView*>(view); v && !m_pViewActive) m_pViewActive = v;
    return view;
}

void CFrameWnd::RecalcLayout(BOOL) {
    CWnd* pane = FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
    if (!pane) return;
    CRect client;
    GetClientRect(&client);
    pane->MoveWindow(&client);
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow);
    BringWindowToTop();
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
    CView* old = m_pViewActive;
    m_pViewActive = view;
    if (notify && view) view->OnActivateView(TRUE, view, old);
    if (view && ::GetActiveWindow() == m_hWnd) view->SetFocus();
}

CDocument* CFrameWnd::GetActiveDocument() {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
    CView* view = m_pViewActive;
    if (!view) view = dynamic_cast<CView*>(FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
    if (view) SetActiveView(view, FALSE);
    // Every view gets its first update.
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    for (HWND c : children)
        if (IsWindow(c)) ::SendMessage(c, WM_INITIALUPDATE, 0, 0);
    if (!IsWindow(m_hWnd)) return;
    if (makeVisible) {
        int cmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            cmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;
        }
        ActivateFrame(cmdShow);
        if (m_pViewActive) m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
        UpdateWindow();
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code)) return TRUE;
    if (CWnd::OnCmdMsg(id, code)) return TRUE;
    if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(id, code)) return TRUE;
    return FALSE;
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* oldWnd) {
    if (m_pViewActive && IsWindow(m_pViewActive->m_hWnd))
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(oldWnd);
}

void CFrameWnd::OnClose() {
    HWND self = m_hWnd;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->CloseAllDocuments(FALSE);
        if (!IsWindow(self)) return;
    }
    ::DestroyWindow(self);
}

void CFrameWnd::OnDestroy() {
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}

BOOL CFrameWnd::OnQueryNewPalette() {
    return CWnd::OnQueryNewPalette();
}

void CFrameWnd::OnPaletteChanged(CWnd* focusWnd) {
    CWnd::OnPaletteChanged(focusWnd);
}

// ---- Document templates -------------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                           CRuntimeClass* viewClass)
    : m_nIDResource(nIDResource), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CDocTemplate::~CDocTemplate() = default;

CDocument* CDocTemplate::CreateNewDocument() {
    CObject* obj = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = dynamic_cast<CDocument*>(obj);
    if (!doc) {
        delete obj;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd*) {
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* obj = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(obj);
    if (!frame) {
        delete obj;
        return nullptr;
    }
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // A frame whose window was made and destroyed has deleted itself.
        if (!frame->m_hWnd) return nullptr;
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible) {
    if (frame) frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::AddDocument(CDocument* doc) {
    if (doc) doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
    if (doc && doc->m_pDocTemplate == this) doc->m_pDocTemplate = nullptr;
}

void CDocTemplate::CloseAllDocuments(BOOL) {}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                                       CRuntimeClass* viewClass)
    : CDocTemplate(nIDResource, docClass, frameClass, viewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc) m_pOnlyDoc->m_pDocTemplate = nullptr;
}

void CSingleDocTemplate::AddDocument(CDocument* doc) {
    CDocTemplate::AddDocument(doc);
    m_pOnlyDoc = doc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
    CDocTemplate::RemoveDocument(doc);
    if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::CloseAllDocuments(BOOL) {
    if (m_pOnlyDoc) m_pOnlyDoc->OnCloseDocument();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR path, BOOL makeVisible) {
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        POSITION pos = doc->GetFirstViewPosition();
        if (CView* v = doc->GetNextView(pos)) frame = v->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (!doc) return nullptr;
        created = true;
    }
    if (created) {
        const BOOL autoDelete = doc->m_bAutoDelete;
        doc->m_bAutoDelete = FALSE;  // a failed frame must not take the document with it
        frame = CreateNewFrame(doc, nullptr);
        doc->m_bAutoDelete = autoDelete;
        if (!frame) {
            delete doc;
            return nullptr;
        }
    }
    if (!path) {
        doc->SetTitle("Namnl\xF6s");
        if (!doc->OnNewDocument()) {
            if (created && frame) frame->DestroyWindow();
            return nullptr;
        }
    } else if (!doc->OnOpenDocument(path)) {
        if (created && frame) frame->DestroyWindow();
        return nullptr;
    }
    CWinApp* app = AfxGetApp();
    if (created && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}
