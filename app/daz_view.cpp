#include "app/daz_view.h"

#include "app/main_frame.h"

IMPLEMENT_DYNCREATE(CDazView, CView)
IMPLEMENT_DYNCREATE(CDaZ1View, CDazView)
IMPLEMENT_DYNCREATE(CDaZ2View, CDazView)

BEGIN_MESSAGE_MAP(CDazView, CView)
    ON_WM_WINDOWPOSCHANGING()
END_MESSAGE_MAP()

CDazView::~CDazView() = default;

void CDazView::OnDraw(CDC*) {}

BOOL CDazView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}

void CDazView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CDazView::OnEndPrinting(CDC*, CPrintInfo*) {}

CSize CDazView::GetScreenSize() {
    return CSize(640, 480);
}

void CDazView::OnWindowPosChanging(WINDOWPOS* pos) {
    CView::OnWindowPosChanging(pos);
    if (pos->flags & SWP_NOSIZE) return;
    const CSize screen = GetScreenSize();
    if (screen.cx == -1 && screen.cy == -1) return;
    const int dx = (pos->cx - screen.cx) / 2;
    const int dy = (pos->cy - screen.cy) / 2;
    if (dx < 0 || dy < 0) return;
    // The window's own edge around its client area, so that the client area is exactly the
    // screen size.
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    const int edgeX = (window.Width() - client.Width()) / 2;
    const int edgeY = (window.Height() - client.Height()) / 2;
    pos->x += dx - edgeX;
    pos->y += dy - edgeY;
    pos->cx = screen.cx + 2 * edgeX;
    pos->cy = screen.cy + 2 * edgeY;
}

namespace {
// The game view comes back once the release's handler has returned (the switch destroys the
// view that got the release).
void BackToTheGameView(CView& view) {
    if (CFrameWnd* frame = view.GetParentFrame()) frame->PostMessage(WM_COMMAND, kCmdGameView, 0);
}
}  // namespace

BEGIN_MESSAGE_MAP(CDaZ1View, CDazView)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void CDaZ1View::OnDraw(CDC*) {}

void CDaZ1View::OnLButtonUp(UINT flags, CPoint point) {
    CDazView::OnLButtonUp(flags, point);
    BackToTheGameView(*this);
}

BEGIN_MESSAGE_MAP(CDaZ2View, CDazView)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void CDaZ2View::OnDraw(CDC*) {}

void CDaZ2View::OnLButtonUp(UINT flags, CPoint point) {
    CDazView::OnLButtonUp(flags, point);
    BackToTheGameView(*this);
}
