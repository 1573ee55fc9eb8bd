#include "adult/splash_dlg.h"

#include <cstdio>

#include "platform/afxwin/cdc.h"

CSplashDlg::CSplashDlg(CWnd* parent) : CDialog(kSplashDialog, parent) {
    char name[16];
    std::snprintf(name, sizeof name, "#%u", kCreditsBitmap);
    m_picture.LoadResourceBitmap(name, &m_palette);
}

BEGIN_MESSAGE_MAP(CSplashDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetCapture();
    SetWindowPos(nullptr, 0, 0, kSplashWidth, kSplashHeight, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    return TRUE;
}

BOOL CSplashDlg::PreTranslateMessage(MSG* msg) {
    // Every key is the dialog's own: the dialog manager would turn Escape into a cancel.
    if (msg->message == WM_KEYDOWN && msg->hwnd == m_hWnd) return FALSE;
    return CDialog::PreTranslateMessage(msg);
}

void CSplashDlg::OnPaint() {
    CPaintDC dc(this);  // validates what needed painting, drawn or not
    if (!m_picture.IsValid()) return;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) return;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&dc, kSplashWidth, kSplashHeight)) return;
    CBitmap* oldBitmap = memory.SelectObject(&bitmap);
    HPALETTE oldMemoryPalette = SelectPalette(memory.GetSafeHdc(), m_palette.GetSafeHandle(), FALSE);
    HPALETTE oldPalette = SelectPalette(dc.GetSafeHdc(), m_palette.GetSafeHandle(), FALSE);
    RealizePalette(memory.GetSafeHdc());
    RealizePalette(dc.GetSafeHdc());
    m_picture.DrawAt(memory.GetSafeHdc(), 0, 0);
    dc.BitBlt(0, 0, kSplashWidth, kSplashHeight, &memory, 0, 0, SRCCOPY);
    ++m_paints;
    SelectPalette(dc.GetSafeHdc(), oldPalette, FALSE);
    SelectPalette(memory.GetSafeHdc(), oldMemoryPalette, FALSE);
    memory.SelectObject(oldBitmap);
}

void CSplashDlg::OnLButtonUp(UINT, CPoint) {
    if (GetCapture() != this) return;
    Close();
}

void CSplashDlg::OnKeyDown(UINT, UINT, UINT) {
    Close();
}

void CSplashDlg::Close() {
    ReleaseCapture();
    m_picture.FreeSurface();
    EndDialog(1);
}
