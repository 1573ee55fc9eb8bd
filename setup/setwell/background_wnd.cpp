#include "setup/setwell/background_wnd.h"

#include "platform/fs/handles.h"
#include "platform/ipc/ipc.h"

namespace setup {

IMPLEMENT_DYNAMIC(CBackgroundWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CBackgroundWnd, CFrameWnd)
    ON_WM_PAINT()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CBackgroundWnd::CBackgroundWnd(const std::string& title) : m_title(title) {
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kBackgroundWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kBackgroundHeight) / 2;
    const CRect rect(left, top, left + kBackgroundWidth, top + kBackgroundHeight);
    Create(nullptr, m_title.c_str(), WS_VISIBLE, rect);
}

CBackgroundWnd::~CBackgroundWnd() = default;

BOOL CBackgroundWnd::PreCreateWindow(CREATESTRUCT& cs) {
    // Before the window exists, so that looking for the other copy's window cannot find this one.
    if (GuardSingleInstance()) return FALSE;
    return CFrameWnd::PreCreateWindow(cs);
}

int CBackgroundWnd::GuardSingleInstance() {
    HANDLE semaphore = CreateSemaphore(nullptr, 0, 1, m_title.c_str());
    if (!semaphore) {
        m_otherCopy = false;
        return 0;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(semaphore);
        if (HWND other = ::FindWindow(nullptr, m_title.c_str())) {
            ::SetForegroundWindow(other);
            ::BringWindowToTop(other);
        }
        m_otherCopy = true;
        return 1;
    }
    // Held until the process ends: it is what tells a later copy that this one runs.
    m_otherCopy = false;
    return 0;
}

void CBackgroundWnd::AddPicture(int xPercent, int yPercent, CDIB* picture) {
    if (!picture) return;
    if (m_count >= kMaxBackgroundPictures) {
        delete picture;
        return;
    }
    const int index = m_count;
    m_pictures[index].reset(picture);
    if (!m_palette) {
        auto palette = std::make_unique<CSetupPalette>();
        if (palette->CreateFromDib(picture)) m_palette = std::move(palette);
    }
    const int64_t x = static_cast<int64_t>(GetSystemMetrics(SM_CXSCREEN) - picture->Width()) * xPercent / 100;
    const int64_t y = static_cast<int64_t>(GetSystemMetrics(SM_CYSCREEN) - picture->Height()) * yPercent / 100 - 20;
    m_x[index] = static_cast<int16_t>(x);
    m_y[index] = static_cast<int16_t>(y);
    ++m_count;
}

void CBackgroundWnd::OnPaint() {
    CPaintDC dc(this);
    CPalette* oldPalette = nullptr;
    if (m_palette) {
        oldPalette = dc.SelectPalette(m_palette.get(), FALSE);
        dc.RealizePalette();
    }
    CRect client;
    GetClientRect(&client);
    CGdiObject* oldPen = dc.SelectStockObject(BLACK_PEN);
    CGdiObject* oldBrush = dc.SelectStockObject(BLACK_BRUSH);
    dc.Rectangle(&client);
    for (int i = 0; i < m_count; ++i) m_pictures[i]->Draw(&dc, m_x[i], m_y[i]);
    if (oldPen) dc.SelectObject(oldPen);
    if (oldBrush) dc.SelectObject(oldBrush);
    if (oldPalette) dc.SelectPalette(oldPalette, FALSE);
}

int RealizeOnWindow(CWnd* wnd, CPalette* palette, BOOL background) {
    CClientDC dc(wnd);
    CPalette* old = dc.SelectPalette(palette, background);
    const int changed = static_cast<int>(dc.RealizePalette());
    if (old) dc.SelectPalette(old, background);
    return changed;
}

BOOL CBackgroundWnd::OnQueryNewPalette() {
    if (!m_palette) return CFrameWnd::OnQueryNewPalette();
    const int changed = RealizeOnWindow(this, m_palette.get(), FALSE);
    if (changed > 0) Invalidate();
    return changed;
}

void CBackgroundWnd::OnPaletteChanged(CWnd* focusWnd) {
    if (!m_palette) {
        CFrameWnd::OnPaletteChanged(focusWnd);
        return;
    }
    if (focusWnd && focusWnd->m_hWnd == m_hWnd) return;
    RealizeOnWindow(this, m_palette.get(), TRUE);
    Invalidate();
}

}  // namespace setup
