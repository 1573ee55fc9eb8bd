#include "app/rerava_view.h"

#include "engine/core/cor_engine.h"

IMPLEMENT_DYNCREATE(CReravaView, CDazView)

BEGIN_MESSAGE_MAP(CReravaView, CDazView)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_DESTROY()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CReravaView::~CReravaView() = default;

void CReravaView::OnInitialUpdate() {
    {
        CEngineCall call;
        EngineStartup();
    }
    CDazView::OnInitialUpdate();
}

void CReravaView::OnDraw(CDC* dc) {
    theEngine->PresentFrame(dc ? dc->GetSafeHdc() : nullptr, nullptr, 0, 0);
}

BOOL CReravaView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}

void CReravaView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CReravaView::OnEndPrinting(CDC*, CPrintInfo*) {}

CSize CReravaView::GetScreenSize() {
    int32_t width = 0, height = 0;
    theEngine->GetScreenSize(width, height);
    return CSize(width, height);
}

int CReravaView::OnCreate(LPCREATESTRUCT cs) {
    if (CDazView::OnCreate(cs) == -1) return -1;
    SetTimer(kGameTimer, kGameTimerMs, nullptr);
    return 0;
}

void CReravaView::OnTimer(UINT_PTR id) {
    theEngine->RunIdle();
    CDazView::OnTimer(id);
}

void CReravaView::OnKeyDown(UINT ch, UINT, UINT) {
    theEngine->OnEngineKeyDown(static_cast<int32_t>(ch));
}

void CReravaView::OnLButtonDown(UINT, CPoint point) {
    theEngine->OnEngineLButtonDown(point);
}

void CReravaView::OnLButtonDblClk(UINT, CPoint point) {
    theEngine->OnEngineLButtonDown(point);
}

void CReravaView::OnDestroy() {
    EngineShutdown();
    KillTimer(kGameTimer);
    CDazView::OnDestroy();
}

BOOL CReravaView::OnSetCursor(CWnd*, UINT, UINT) {
    return TRUE;
}

BOOL CReravaView::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    CBrush black(RGB(0, 0, 0));
    dc->FillRect(&client, &black);
    return TRUE;
}
