// The class library's frame, view and document, as thin as a single-window program needs:
// a single-document template makes the document, then the frame (LoadFrame), the view inside
// it, and sends the view its first update. CMenu keeps menus that are never shown.
#pragma once

#include <vector>

#include "platform/afxwin/cdc.h"
#include "platform/afxwin/cwnd.h"
#include "platform/afxwin/winapp.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;
class CPrintDialog;

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;
    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU h);
    BOOL Attach(HMENU h);
    HMENU Detach();
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR text = nullptr);
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags);
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT GetMenuState(UINT item, UINT flags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    CMenu* GetSubMenu(int position) const;
};

struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

struct CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();
    CPrintDialog* m_pPD;
    BOOL m_bDirect = FALSE;
    BOOL m_bPreview = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;
    CRect m_rectDraw;
    LPVOID m_lpUserData = nullptr;
    void SetMinPage(UINT page) { m_minPage = page; }
    void SetMaxPage(UINT page) { m_maxPage = page; }
    UINT GetMinPage() const { return m_minPage; }
    UINT GetMaxPage() const { return m_maxPage; }
    UINT m_minPage = 1;
    UINT m_maxPage = 1;
};

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR path);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL modified = TRUE);
    virtual BOOL SaveModified();
    virtual void SetTitle(LPCSTR title);
    const CString& GetTitle() const { return m_strTitle; }
    const CString& GetPathName() const { return m_strPathName; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& pos) const;
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    BOOL m_bAutoDelete = TRUE;
    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
    // Printing: OnFilePrint runs these around OnPrint for each page.
    virtual BOOL OnPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
    // The print dialog (or the default printer when info->m_bDirect); FALSE when cancelled.
    BOOL DoPreparePrinting(CPrintInfo* info);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;

    CDocument* m_pDocument = nullptr;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    afx_msg int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
    afx_msg void OnFilePrint();
    afx_msg void OnFilePrintPreview();
    DECLARE_MESSAGE_MAP()
};

inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD FWS_PREFIXTITLE = 0x00040000;
inline constexpr DWORD FWS_SNAPTOBARS = 0x00080000;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    static const CRect rectDefault;
    using CWnd::Create;
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr, LPCSTR menuName = nullptr,
                DWORD exStyle = 0, CCreateContext* context = nullptr);
    // The title is string nIDResource up to its first '\n'; the view of the context is made.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD defaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    virtual void RecalcLayout(BOOL notify = TRUE);
    virtual void ActivateFrame(int cmdShow = -1);
    void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view, BOOL notify = TRUE);
    virtual CDocument* GetActiveDocument();
    BOOL OnCmdMsg(UINT id, int code) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;

    UINT m_nIDHelp = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* oldWnd);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* focusWnd);

    CView* m_pViewActive = nullptr;
    CCreateContext* m_pCreating = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    CDocTemplate(UINT nIDResource, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    virtual CDocument* OpenDocumentFile(LPCSTR path, BOOL makeVisible = TRUE) = 0;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);
    virtual void AddDocument(CDocument* doc);
    virtual void RemoveDocument(CDocument* doc);
    virtual void CloseAllDocuments(BOOL endSession);
    UINT GetResourceId() const { return m_nIDResource; }

protected:
    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                       CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;
    // The one document: made (with its frame and view) the first time, renewed after.
    CDocument* OpenDocumentFile(LPCSTR path, BOOL makeVisible = TRUE) override;
    void AddDocument(CDocument* doc) override;
    void RemoveDocument(CDocument* doc) override;
    void CloseAllDocuments(BOOL endSession) override;
    CDocument* GetDocument() const { return m_pOnlyDoc; }

protected:
    CDocument* m_pOnlyDoc = nullptr;
};
