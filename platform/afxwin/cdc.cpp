// CDC and the drawing-object wrappers, with their temporary objects for FromHandle.
#include "platform/afxwin/cdc.h"

#include <memory>
#include <unordered_map>

#include "platform/core/crt.h"
#include "platform/afxwin/cwnd.h"
#include "platform/gdi/picture_resources.h"
#include "platform/print/print.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {

// The temporary wrappers never own their handles (DeleteTempGdiMaps detaches them before it
// frees them). The maps themselves are never destroyed: a wrapper of the program's own that a
// static object holds may still look into them while the program's statics go at exit.
std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>>& TempObjects() {
    static auto* map = new std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>>;
    return *map;
}

std::unordered_map<HDC, std::unique_ptr<CDC>>& TempDcs() {
    static auto* map = new std::unordered_map<HDC, std::unique_ptr<CDC>>;
    return *map;
}

std::unique_ptr<CGdiObject> WrapperFor(HGDIOBJ h) {
    switch (GetObjectType(h)) {
        case OBJ_PEN: return std::make_unique<CPen>();
        case OBJ_BRUSH: return std::make_unique<CBrush>();
        case OBJ_FONT: return std::make_unique<CFont>();
        case OBJ_BITMAP: return std::make_unique<CBitmap>();
        case OBJ_PAL: return std::make_unique<CPalette>();
        case OBJ_REGION: return std::make_unique<CRgn>();
        default: return std::make_unique<CGdiObject>();
    }
}

}  // namespace

namespace plat::afx {

void DeleteTempGdiMaps() {
    for (auto& [h, obj] : TempObjects()) obj->m_hObject = nullptr;
    TempObjects().clear();
    for (auto& [h, dc] : TempDcs()) dc->m_hDC = dc->m_hAttribDC = nullptr;
    TempDcs().clear();
}

void ForgetTempDc(HDC h) {
    auto it = TempDcs().find(h);
    if (it == TempDcs().end()) return;
    it->second->m_hDC = it->second->m_hAttribDC = nullptr;
    TempDcs().erase(it);
}

}  // namespace plat::afx

// ---- CGdiObject ---------------------------------------------------------------------------------

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
    if (!h) return nullptr;
    auto& temps = TempObjects();
    std::unique_ptr<CGdiObject> fresh = WrapperFor(h);
    auto it = temps.find(h);
    if (it != temps.end() && it->second->GetRuntimeClass() == fresh->GetRuntimeClass()) return it->second.get();
    fresh->m_hObject = h;
    CGdiObject* raw = fresh.get();
    if (it != temps.end()) it->second->m_hObject = nullptr;
    temps[h] = std::move(fresh);
    return raw;
}

BOOL CGdiObject::Attach(HGDIOBJ h) {
    if (!h || m_hObject) return FALSE;
    m_hObject = h;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    HGDIOBJ h = Detach();
    auto& temps = TempObjects();
    if (auto it = temps.find(h); it != temps.end() && it->second.get() != this) {
        it->second->m_hObject = nullptr;
        temps.erase(it);
    }
    return ::DeleteObject(h);
}

int CGdiObject::GetObject(int size, LPVOID out) const {
    return ::GetObject(m_hObject, size, out);
}

UINT CGdiObject::GetObjectType() const {
    return ::GetObjectType(m_hObject);
}

BOOL CGdiObject::CreateStockObject(int index) {
    m_hObject = GetStockObject(index);
    return m_hObject != nullptr;
}

BOOL CGdiObject::UnrealizeObject() {
    return ::UnrealizeObject(m_hObject);
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    return Attach(::CreatePen(style, width, colour));
}
BOOL CPen::CreatePenIndirect(LOGPEN* lp) {
    return Attach(::CreatePenIndirect(lp));
}
BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    return Attach(::CreateSolidBrush(colour));
}
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lb) {
    return Attach(::CreateBrushIndirect(lb));
}
BOOL CBrush::CreateSysColorBrush(int index) {
    return Attach(::CreateSolidBrush(GetSysColor(index)));
}
BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
    return Attach(::CreateFontIndirect(lf));
}
BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCSTR faceName) {
    return Attach(::CreateFont(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                               outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}
BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC*) {
    LOGFONT lf;
    lf.lfHeight = -MulDiv(pointSizeTenths, 96, 720);
    if (faceName) lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
    return CreateFontIndirect(&lf);
}
int CFont::GetLogFont(LOGFONT* lf) const {
    return ::GetObject(m_hObject, sizeof(LOGFONT), lf);
}
BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(::LoadBitmap(nullptr, MAKEINTRESOURCE(id)));
}
BOOL CBitmap::LoadBitmap(LPCSTR name) {
    return Attach(::LoadBitmap(nullptr, name));
}
BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}
int CBitmap::GetBitmap(BITMAP* bm) const {
    return ::GetObject(m_hObject, sizeof(BITMAP), bm);
}
CSize CBitmap::GetBitmapDimension() const {
    BITMAP bm;
    return GetBitmap(&bm) ? CSize(bm.bmWidth, bm.bmHeight) : CSize(0, 0);
}
BOOL CPalette::CreatePalette(const LOGPALETTE* lp) {
    return Attach(::CreatePalette(lp));
}
int CPalette::GetEntryCount() const {
    WORD n = 0;
    ::GetObject(m_hObject, sizeof(n), &n);
    return n;
}
UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const {
    return ::GetPaletteEntries(m_hObject, start, count, out);
}
UINT CPalette::SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* in) {
    return ::SetPaletteEntries(m_hObject, start, count, in);
}
void CPalette::AnimatePalette(UINT start, UINT count, const PALETTEENTRY* in) {
    ::AnimatePalette(m_hObject, start, count, in);
}
UINT CPalette::GetNearestPaletteIndex(COLORREF colour) const {
    return ::GetNearestPaletteIndex(m_hObject, colour);
}
BOOL CPalette::ResizePalette(UINT count) {
    return ::ResizePalette(m_hObject, count);
}
BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    return Attach(::CreateRectRgn(left, top, right, bottom));
}
BOOL CRgn::CreateRectRgnIndirect(LPCRECT r) {
    return Attach(::CreateRectRgnIndirect(r));
}
int CRgn::CombineRgn(CRgn* a, CRgn* b, int mode) {
    return ::CombineRgn(m_hObject, a ? a->m_hObject : nullptr, b ? b->m_hObject : nullptr, mode);
}
BOOL CRgn::PtInRegion(int x, int y) const {
    return ::PtInRegion(m_hObject, x, y);
}

// ---- CDC ----------------------------------------------------------------------------------------

CDC::~CDC() {
    if (m_owned && m_hDC) ::DeleteDC(m_hDC);
}

CDC* CDC::FromHandle(HDC h) {
    if (!h) return nullptr;
    auto& temps = TempDcs();
    auto it = temps.find(h);
    if (it != temps.end()) return it->second.get();
    auto dc = std::make_unique<CDC>();
    dc->m_hDC = dc->m_hAttribDC = h;
    dc->m_bPrinting = ::GetDeviceCaps(h, TECHNOLOGY) == DT_RASPRINTER;
    CDC* raw = dc.get();
    temps[h] = std::move(dc);
    return raw;
}

BOOL CDC::Attach(HDC h) {
    if (!h || m_hDC) return FALSE;
    m_hDC = m_hAttribDC = h;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_owned = false;
    return h;
}

BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode) {
    if (!Attach(::CreateDC(driver, device, output, devMode))) return FALSE;
    m_owned = true;
    m_bPrinting = GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
    return TRUE;
}

BOOL CDC::CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode) {
    if (!Attach(::CreateIC(driver, device, output, devMode))) return FALSE;
    m_owned = true;
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    if (!Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr))) return FALSE;
    m_owned = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    HDC h = Detach();
    return ::DeleteDC(h);
}

int CDC::SaveDC() {
    return ::SaveDC(m_hDC);
}
BOOL CDC::RestoreDC(int saved) {
    return ::RestoreDC(m_hDC, saved);
}
int CDC::GetDeviceCaps(int index) const {
    return ::GetDeviceCaps(m_hDC, index);
}
CWnd* CDC::GetWindow() const {
    return CWnd::FromHandle(WindowFromDC(m_hDC));
}

CPen* CDC::SelectObject(CPen* pen) {
    return static_cast<CPen*>(CGdiObject::FromHandle(::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return static_cast<CBrush*>(CGdiObject::FromHandle(::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr)));
}
CFont* CDC::SelectObject(CFont* font) {
    return static_cast<CFont*>(CGdiObject::FromHandle(::SelectObject(m_hDC, font ? font->m_hObject : nullptr)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return static_cast<CBitmap*>(CGdiObject::FromHandle(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr)));
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, object ? object->m_hObject : nullptr));
}
int CDC::SelectObject(CRgn* rgn) {
    return ::SelectClipRgn(m_hDC, rgn ? rgn->m_hObject : nullptr);
}
CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, GetStockObject(index)));
}
CPalette* CDC::SelectPalette(CPalette* palette, BOOL forceBackground) {
    return CPalette::FromHandle(::SelectPalette(m_hDC, palette ? palette->m_hObject : nullptr, forceBackground));
}
UINT CDC::RealizePalette() {
    return ::RealizePalette(m_hDC);
}
CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(GetCurrentObject(m_hDC, OBJ_PEN));
}
CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(GetCurrentObject(m_hDC, OBJ_BRUSH));
}
CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(GetCurrentObject(m_hDC, OBJ_FONT));
}
CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(GetCurrentObject(m_hDC, OBJ_BITMAP));
}
CPalette* CDC::GetCurrentPalette() const {
    return CPalette::FromHandle(GetCurrentObject(m_hDC, OBJ_PAL));
}

COLORREF CDC::SetTextColor(COLORREF c) {
    return ::SetTextColor(m_hDC, c);
}
COLORREF CDC::GetTextColor() const {
    return ::GetTextColor(m_hDC);
}
COLORREF CDC::SetBkColor(COLORREF c) {
    return ::SetBkColor(m_hDC, c);
}
COLORREF CDC::GetBkColor() const {
    return ::GetBkColor(m_hDC);
}
int CDC::SetBkMode(int mode) {
    return ::SetBkMode(m_hDC, mode);
}
int CDC::GetBkMode() const {
    return ::GetBkMode(m_hDC);
}
int CDC::SetROP2(int rop) {
    return ::SetROP2(m_hDC, rop);
}
int CDC::SetStretchBltMode(int mode) {
    return ::SetStretchBltMode(m_hDC, mode);
}
int CDC::GetStretchBltMode() const {
    return ::GetStretchBltMode(m_hDC);
}
UINT CDC::SetTextAlign(UINT align) {
    return ::SetTextAlign(m_hDC, align);
}
int CDC::SetMapMode(int mode) {
    return ::SetMapMode(m_hDC, mode);
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old{};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}
CPoint CDC::GetViewportOrg() const {
    POINT p{};
    ::GetViewportOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    POINT old{};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
    return old;
}
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}
CPoint CDC::GetWindowOrg() const {
    POINT p{};
    ::GetWindowOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetBrushOrg(int x, int y) {
    POINT old{};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}
void CDC::LPtoDP(LPPOINT points, int count) const {
    ::LPtoDP(m_hDC, points, count);
}
void CDC::LPtoDP(LPRECT r) const {
    ::LPtoDP(m_hDC, reinterpret_cast<POINT*>(r), 2);
}
void CDC::DPtoLP(LPPOINT points, int count) const {
    ::DPtoLP(m_hDC, points, count);
}
void CDC::DPtoLP(LPRECT r) const {
    ::DPtoLP(m_hDC, reinterpret_cast<POINT*>(r), 2);
}
int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    return ::IntersectClipRect(m_hDC, left, top, right, bottom);
}
int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
    return ::ExcludeClipRect(m_hDC, left, top, right, bottom);
}
int CDC::SelectClipRgn(CRgn* rgn) {
    return ::SelectClipRgn(m_hDC, rgn ? rgn->m_hObject : nullptr);
}
int CDC::GetClipBox(LPRECT r) const {
    return ::GetClipBox(m_hDC, r);
}
BOOL CDC::PtVisible(int x, int y) const {
    return ::PtVisible(m_hDC, x, y);
}
BOOL CDC::RectVisible(LPCRECT r) const {
    return ::RectVisible(m_hDC, r);
}
CPoint CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}
BOOL CDC::LineTo(int x, int y) {
    return ::LineTo(m_hDC, x, y);
}
BOOL CDC::Polyline(const POINT* points, int count) {
    return ::Polyline(m_hDC, points, count);
}
BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(m_hDC, left, top, right, bottom);
}
void CDC::FillRect(LPCRECT r, CBrush* brush) {
    ::FillRect(m_hDC, r, brush ? brush->m_hObject : nullptr);
}
void CDC::FillSolidRect(LPCRECT r, COLORREF colour) {
    if (!r) return;
    ::SetBkColor(m_hDC, colour);
    if (r->right > r->left && r->bottom > r->top) plat::FillSolid(m_hDC, *r, colour);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    const RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, colour);
}
void CDC::FrameRect(LPCRECT r, CBrush* brush) {
    ::FrameRect(m_hDC, r, brush ? brush->m_hObject : nullptr);
}
void CDC::InvertRect(LPCRECT r) {
    ::InvertRect(m_hDC, r);
}
void CDC::DrawFocusRect(LPCRECT r) {
    ::DrawFocusRect(m_hDC, r);
}
void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
    if (r) Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}
BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    return ::DrawIcon(m_hDC, x, y, icon);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    return ::SetPixel(m_hDC, x, y, colour);
}
COLORREF CDC::GetPixel(int x, int y) const {
    return ::GetPixel(m_hDC, x, y);
}
BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc, rop);
}
BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, width, height, src ? src->m_hDC : nullptr, xSrc, ySrc, srcWidth, srcHeight, rop);
}
BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    return ::PatBlt(m_hDC, x, y, width, height, rop);
}
BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) {
    return ::TextOut(m_hDC, x, y, text, count);
}
BOOL CDC::TextOut(int x, int y, const CString& text) {
    return ::TextOut(m_hDC, x, y, text, text.GetLength());
}
BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT count, LPINT dx) {
    return ::ExtTextOut(m_hDC, x, y, options, r, text, count, dx);
}
int CDC::DrawText(LPCSTR text, int count, LPRECT r, UINT format) {
    return ::DrawText(m_hDC, text, count, r, format);
}
int CDC::DrawText(const CString& text, LPRECT r, UINT format) {
    return ::DrawText(m_hDC, text, text.GetLength(), r, format);
}
CSize CDC::GetTextExtent(LPCSTR text, int count) const {
    SIZE s{};
    ::GetTextExtentPoint32(m_hDC, text, count, &s);
    return s;
}
CSize CDC::GetTextExtent(const CString& text) const {
    return GetTextExtent(text, text.GetLength());
}
BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    return ::GetTextMetrics(m_hDC, tm);
}
int CDC::StartDoc(DOCINFO* info) {
    return ::StartDoc(m_hDC, info);
}
int CDC::StartDoc(LPCSTR docName) {
    DOCINFO info;
    info.lpszDocName = docName;
    return ::StartDoc(m_hDC, &info);
}
int CDC::StartPage() {
    return ::StartPage(m_hDC);
}
int CDC::EndPage() {
    return ::EndPage(m_hDC);
}
int CDC::EndDoc() {
    return ::EndDoc(m_hDC);
}
int CDC::AbortDoc() {
    return ::AbortDoc(m_hDC);
}

// ---- Paint, client and window DCs ----------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}
CPaintDC::~CPaintDC() {
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}
CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, Detach());
}
CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    Attach(::GetWindowDC(m_hWnd));
}
CWindowDC::~CWindowDC() {
    ::ReleaseDC(m_hWnd, Detach());
}
