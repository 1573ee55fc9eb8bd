// The class library's device-context and drawing-object wrappers over the platform's GDI:
// CDC (and CPaintDC, CClientDC, CWindowDC), CGdiObject with CPen, CBrush, CFont, CBitmap,
// CPalette and CRgn. The objects own their handles (deleted with the object) unless they
// were made by FromHandle, which gives temporary wrappers freed at idle time.
#pragma once

#include "platform/afx/afx_string.h"
#include "platform/afx/object.h"
#include "platform/afxwin/afx_types.h"
#include "platform/afxwin/window_api.h"
#include "platform/gdi/text_out.h"

class CWnd;
class CDC;
struct DOCINFO;

class CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // A temporary wrapper of the handle's kind (CPen, CBrush, CFont, CBitmap, CPalette, CRgn).
    static CGdiObject* FromHandle(HGDIOBJ h);
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, LPVOID out) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int index);
    BOOL UnrealizeObject();
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }
    operator HPEN() const { return m_hObject; }
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL CreatePenIndirect(LOGPEN* lp);
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }
    operator HBRUSH() const { return m_hObject; }
    BOOL CreateSolidBrush(COLORREF colour);
    BOOL CreateBrushIndirect(const LOGBRUSH* lb);
    BOOL CreateSysColorBrush(int index);
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
    operator HFONT() const { return m_hObject; }
    BOOL CreateFontIndirect(const LOGFONT* lf);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR faceName);
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* lf) const;
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }
    operator HBITMAP() const { return m_hObject; }
    // The program's bitmap resource (RegisterBitmapResource) by id or name.
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(LPCSTR name);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bm) const;
    CSize GetBitmapDimension() const;
};

class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    static CPalette* FromHandle(HPALETTE h) { return static_cast<CPalette*>(CGdiObject::FromHandle(h)); }
    operator HPALETTE() const { return m_hObject; }
    BOOL CreatePalette(const LOGPALETTE* lp);
    int GetEntryCount() const;
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;
    UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* in);
    void AnimatePalette(UINT start, UINT count, const PALETTEENTRY* in);
    UINT GetNearestPaletteIndex(COLORREF colour) const;
    BOOL ResizePalette(UINT count);
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* FromHandle(HRGN h) { return static_cast<CRgn*>(CGdiObject::FromHandle(h)); }
    operator HRGN() const { return m_hObject; }
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT r);
    int CombineRgn(CRgn* a, CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const;
};

class CDC : public CObject {
    DECLARE_DYNCREATE(CDC)
public:
    CDC() = default;
    ~CDC() override;

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    static CDC* FromHandle(HDC h);
    BOOL Attach(HDC h);
    HDC Detach();
    BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode);
    BOOL CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode);
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    int SaveDC();
    BOOL RestoreDC(int saved);
    int GetDeviceCaps(int index) const;
    CWnd* GetWindow() const;
    BOOL IsPrinting() const { return m_bPrinting; }

    // Objects. The old object comes back as a temporary wrapper.
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    int SelectObject(CRgn* rgn);
    CGdiObject* SelectStockObject(int index);
    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    UINT RealizePalette();
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;
    CPalette* GetCurrentPalette() const;

    // Attributes.
    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int SetROP2(int rop);
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const;
    UINT SetTextAlign(UINT align);
    int SetMapMode(int mode);
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const;
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const;
    CPoint SetBrushOrg(int x, int y);
    void LPtoDP(LPPOINT points, int count = 1) const;
    void LPtoDP(LPRECT r) const;
    void DPtoLP(LPPOINT points, int count = 1) const;
    void DPtoLP(LPRECT r) const;

    // Clipping.
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(LPCRECT r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
    int SelectClipRgn(CRgn* rgn);
    int GetClipBox(LPRECT r) const;
    BOOL PtVisible(int x, int y) const;
    BOOL RectVisible(LPCRECT r) const;

    // Drawing.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* points, int count);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    void FillRect(LPCRECT r, CBrush* brush);
    void FillSolidRect(LPCRECT r, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void FrameRect(LPCRECT r, CBrush* brush);
    void InvertRect(LPCRECT r);
    void DrawFocusRect(LPCRECT r);
    // Top and left lines in topLeft, bottom and right in bottomRight, one pixel wide.
    void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
    COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF GetPixel(int x, int y) const;
    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                    DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

    // Text.
    BOOL TextOut(int x, int y, LPCSTR text, int count);
    BOOL TextOut(int x, int y, const CString& text);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT count, LPINT dx);
    int DrawText(LPCSTR text, int count, LPRECT r, UINT format);
    int DrawText(const CString& text, LPRECT r, UINT format);
    CSize GetTextExtent(LPCSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;

    // Printing (platform/print).
    int StartDoc(DOCINFO* info);
    int StartDoc(LPCSTR docName);
    int StartPage();
    int EndPage();
    int EndDoc();
    int AbortDoc();

protected:
    BOOL m_bPrinting = FALSE;
    bool m_owned = false;  // made by CreateDC/CreateCompatibleDC: deleted with the object
};

class CPaintDC : public CDC {
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
    DECLARE_DYNAMIC(CWindowDC)
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

namespace plat::afx {
// Frees the temporary CDC and CGdiObject wrappers (AfxDeleteTempMaps calls it).
void DeleteTempGdiMaps();
// Forgets a DC's temporary wrapper when the DC goes.
void ForgetTempDc(HDC h);
}  // namespace plat::afx
