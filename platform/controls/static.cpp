// The "STATIC" class: text (left, centred, right, word-wrapped or not), icons and bitmaps,
// filled and framed rectangles and etched lines.
#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"

namespace plat::dlg {
namespace {

struct StaticState {
    HFONT font = nullptr;
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
};

void FitToImage(HWND hwnd, int w, int h) {
    if (GetWindowLong(hwnd, GWL_STYLE) & SS_CENTERIMAGE) return;
    SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Paint(HWND hwnd, HDC dc) {
    StaticState* st = StateOf<StaticState>(hwnd);
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const DWORD type = style & SS_TYPEMASK;
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    RECT rc;
    GetClientRect(hwnd, &rc);
    switch (type) {
        case SS_BLACKRECT: Fill(dc, rc, kDark); return;
        case SS_GRAYRECT: Fill(dc, rc, kShadow); return;
        case SS_WHITERECT: Fill(dc, rc, kHighlight); return;
        case SS_BLACKFRAME: Edge(dc, rc, kDark, kDark); return;
        case SS_GRAYFRAME: Edge(dc, rc, kShadow, kShadow); return;
        case SS_WHITEFRAME: Edge(dc, rc, kHighlight, kHighlight); return;
        case SS_ETCHEDHORZ:
            Fill(dc, rc.left, rc.top, rc.right, rc.top + 1, kShadow);
            Fill(dc, rc.left, rc.top + 1, rc.right, rc.top + 2, kHighlight);
            return;
        case SS_ETCHEDVERT:
            Fill(dc, rc.left, rc.top, rc.left + 1, rc.bottom, kShadow);
            Fill(dc, rc.left + 1, rc.top, rc.left + 2, rc.bottom, kHighlight);
            return;
        case SS_ETCHEDFRAME: EtchedRect(dc, rc); return;
        default: break;
    }
    HBRUSH brush = ControlColours(hwnd, dc, WM_CTLCOLORSTATIC);
    const COLORREF textColour = GetTextColor(dc);
    if (type != SS_ICON && type != SS_BITMAP) FillRect(dc, &rc, brush);
    RECT inner = rc;
    if (style & SS_SUNKEN) {
        Edge(dc, rc, kShadow, kHighlight);
        inner = Inset(rc, 1);
    }
    if (type == SS_ICON) {
        if (st->icon) {
            const CursorImage* img = CursorImageOf(st->icon);
            int x = inner.left, y = inner.top;
            if (img && (style & SS_CENTERIMAGE)) {
                FillRect(dc, &rc, brush);
                x += (inner.right - inner.left - img->width) / 2;
                y += (inner.bottom - inner.top - img->height) / 2;
            }
            DrawIcon(dc, x, y, st->icon);
        }
        return;
    }
    if (type == SS_BITMAP) {
        BITMAP bm;
        if (st->bitmap && GetObject(st->bitmap, sizeof(bm), &bm)) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, st->bitmap);
            BitBlt(dc, inner.left, inner.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    UINT format = DT_EXPANDTABS;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (type == SS_CENTER) format |= DT_CENTER | DT_WORDBREAK;
    else if (type == SS_RIGHT) format |= DT_RIGHT | DT_WORDBREAK;
    else if (type == SS_LEFT) format |= DT_LEFT | DT_WORDBREAK;
    else format |= DT_LEFT | DT_SINGLELINE;
    if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    DrawStateText(dc, WindowText(hwnd), inner, format, enabled, textColour);
    SelectObject(dc, oldFont);
}

LRESULT StaticMessage(HWND hwnd, StaticState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintNow(hwnd, Paint);
        case STM_SETICON:
        case STM_SETIMAGE: {
            const bool isIcon = msg == STM_SETICON || wParam == IMAGE_ICON;
            LRESULT old;
            if (isIcon) {
                old = reinterpret_cast<LRESULT>(st->icon);
                st->icon = reinterpret_cast<HICON>(msg == STM_SETICON ? wParam : static_cast<WPARAM>(lParam));
                if (const CursorImage* img = CursorImageOf(st->icon)) FitToImage(hwnd, img->width, img->height);
            } else {
                old = reinterpret_cast<LRESULT>(st->bitmap);
                st->bitmap = reinterpret_cast<HBITMAP>(lParam);
                BITMAP bm;
                if (st->bitmap && GetObject(st->bitmap, sizeof(bm), &bm)) FitToImage(hwnd, bm.bmWidth, bm.bmHeight);
            }
            InvalidateRect(hwnd, nullptr, TRUE);
            return old;
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(st->icon);
        case STM_GETIMAGE:
            return wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(st->icon) : reinterpret_cast<LRESULT>(st->bitmap);
        case WM_LBUTTONDOWN:
            if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY) Notify(hwnd, STN_DBLCLK);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<StaticState>(hwnd, msg, wParam, lParam, MakeState<StaticState>, StaticMessage);
}

const ControlClass kStaticClass{"STATIC", StaticProc, 0, IDC_ARROW, RUNTIME_CLASS(CStatic)};

}  // namespace plat::dlg
