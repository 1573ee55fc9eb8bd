// Fonts, text metrics, measuring and TextOut/ExtTextOut over the text layer's bitmap faces.
// Glyph ink is gathered into a coverage mask and drawn with plat::DrawMask, so text goes
// through the DC's origin and clipping like every other drawing.
#include "platform/gdi/text_out.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/gdi/text_internal.h"
#include "platform/fonts/font_registry.h"

namespace plat::gdi {
namespace {

// Longer strings are refused rather than measured (no program draws more at once).
constexpr size_t kMaxTextBytes = size_t(1) << 24;

// The face a font object carries, chosen when the font was made.
struct ChosenFace : IFontFace {
    explicit ChosenFace(std::shared_ptr<const BitmapFace> f) : face(std::move(f)) {}
    std::shared_ptr<const BitmapFace> face;
};

std::string_view FaceNameOf(const LOGFONT& lf) {
    return std::string_view(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
}

std::shared_ptr<const BitmapFace> ChooseFor(const LOGFONT& lf) {
    return ChooseFace(FaceNameOf(lf), lf.lfHeight, lf.lfWidth, lf.lfWeight, lf.lfItalic != 0);
}

bool IsDc(HDC hdc) {
    const DWORD type = GetObjectType(hdc);
    return type == OBJ_DC || type == OBJ_MEMDC;
}

}  // namespace

bool FontOfDc(HDC hdc, FontUse& out) {
    if (!IsDc(hdc)) return false;
    HFONT font = GetCurrentObject(hdc, OBJ_FONT);
    const LOGFONT* lf = FontLogFont(font);
    out.face = FaceOfFont(font);
    if (!lf || !out.face) return false;
    out.underline = lf->lfUnderline != 0 || out.face->underline;
    out.strikeOut = lf->lfStrikeOut != 0 || out.face->strikeOut;
    return true;
}

int UnderlineRow(const BitmapFace& face) {
    return std::clamp(face.ascent + 1, 0, face.height - 1);
}

namespace {

int StrikeOutRow(const BitmapFace& face) {
    const int em = face.ascent - face.internalLeading;
    return std::clamp(face.ascent - (em + 1) / 3, 0, face.height - 1);
}

LONG Clamp(int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, -kMaxTextExtent, kMaxTextExtent));
}

}  // namespace

BOOL DrawTextRun(HDC hdc, const FontUse& font, int x, int y, UINT options, const RECT* rect,
                 std::string_view text, const INT* dx, const std::vector<std::pair<int, int>>* underlines) {
    const BitmapFace& face = *font.face;
    const UINT align = GetTextAlign(hdc);
    if (align & TA_UPDATECP) {
        POINT cp;
        GetCurrentPositionEx(hdc, &cp);
        x = cp.x;
        y = cp.y;
    }

    // Pen positions relative to the reference point's left end, and the total advance.
    std::vector<int64_t> pen(text.size());
    int64_t width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        pen[i] = width;
        width += dx ? dx[i] : face.Advance(static_cast<uint8_t>(text[i]));
        width = std::clamp<int64_t>(width, -kMaxTextExtent, kMaxTextExtent);
    }

    int64_t left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (align & TA_RIGHT)
        left = x - width;
    int64_t top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - face.ascent;
    else if (align & TA_BOTTOM)
        top = y - face.height;
    // The current position moves past the text, except for centred text.
    if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER)
        MoveToEx(hdc, Clamp((align & TA_RIGHT) ? x - width : x + width), y, nullptr);

    const COLORREF bk = GetBkColor(hdc);
    const RECT cells{Clamp(left), Clamp(top), Clamp(left + std::max<int64_t>(width, 0)),
                     Clamp(top + face.height)};
    const bool clipped = rect && (options & ETO_CLIPPED);
    if (rect && (options & ETO_OPAQUE)) FillSolid(hdc, *rect, bk);
    if (GetBkMode(hdc) == OPAQUE) {
        RECT fill = cells;
        if (clipped) IntersectRect(&fill, &cells, rect);
        if (!IsRectEmpty(&fill)) FillSolid(hdc, fill, bk);
    }

    // The ink box: the cells, widened where glyphs lean past their advance (italics).
    int64_t inkRight = cells.right;
    for (size_t i = 0; i < text.size(); ++i) {
        if (const BitmapGlyph* g = face.GlyphFor(static_cast<uint8_t>(text[i])))
            inkRight = std::max(inkRight, left + pen[i] + g->width);
    }
    RECT box{cells.left, cells.top, Clamp(inkRight), cells.bottom};
    RECT visible;
    if (GetClipBox(hdc, &visible) == NULLREGION) return TRUE;
    IntersectRect(&box, &box, &visible);
    if (clipped) IntersectRect(&box, &box, rect);
    if (IsRectEmpty(&box)) return TRUE;

    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    std::vector<uint8_t> mask(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    auto plot = [&](int64_t px, int64_t py) {
        if (px < box.left || px >= box.right || py < box.top || py >= box.bottom) return;
        mask[static_cast<size_t>(py - box.top) * static_cast<size_t>(w) +
             static_cast<size_t>(px - box.left)] = 1;
    };
    auto line = [&](int row, int64_t from, int64_t to) {
        const int64_t py = top + row;
        if (py < box.top || py >= box.bottom) return;
        for (int64_t px = std::max<int64_t>(from, box.left); px < std::min<int64_t>(to, box.right); ++px)
            plot(px, py);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const BitmapGlyph* g = face.GlyphFor(static_cast<uint8_t>(text[i]));
        if (!g) continue;
        const int64_t gx = left + pen[i];
        if (gx + g->width <= box.left || gx >= box.right) continue;
        for (int row = 0; row < face.height; ++row) {
            const int64_t py = top + row;
            if (py < box.top || py >= box.bottom) continue;
            for (int col = 0; col < g->width; ++col)
                if (g->Ink(col, row)) plot(gx + col, py);
        }
    }
    if (font.underline) line(UnderlineRow(face), left, left + width);
    if (font.strikeOut) line(StrikeOutRow(face), left, left + width);
    if (underlines) {
        for (const auto& [first, count] : *underlines) {
            if (first < 0 || count <= 0 ||
                static_cast<size_t>(first) + static_cast<size_t>(count) > text.size())
                continue;
            const size_t end = static_cast<size_t>(first + count);
            const int64_t to = end < text.size() ? pen[end] : width;
            line(UnderlineRow(face), left + pen[static_cast<size_t>(first)], left + to);
        }
    }
    return DrawMask(hdc, box.left, box.top, w, h, mask.data(), w, GetTextColor(hdc));
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

HFONT CreateFontIndirect(const LOGFONT* lf) {
    if (!lf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONT copy = *lf;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;
    std::shared_ptr<const BitmapFace> face = ChooseFor(copy);
    if (!face) return nullptr;
    return CreateFontObject(copy, std::make_shared<ChosenFace>(std::move(face)));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfStrikeOut = strikeOut ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
    FontUse font;
    if (!tm || !FontOfDc(hdc, font)) return FALSE;
    const BitmapFace& f = *font.face;
    TEXTMETRIC m;
    m.tmHeight = f.height;
    m.tmAscent = f.ascent;
    m.tmDescent = f.Descent();
    m.tmInternalLeading = f.internalLeading;
    m.tmExternalLeading = f.externalLeading;
    m.tmAveCharWidth = f.avgWidth;
    m.tmMaxCharWidth = f.maxWidth;
    m.tmWeight = f.weight;
    m.tmOverhang = f.overhang;
    m.tmDigitizedAspectX = f.horizRes;
    m.tmDigitizedAspectY = f.vertRes;
    m.tmFirstChar = f.firstChar;
    m.tmLastChar = f.lastChar;
    m.tmDefaultChar = f.defaultChar;
    m.tmBreakChar = f.breakChar;
    m.tmItalic = f.italic ? 1 : 0;
    m.tmUnderlined = font.underline ? 1 : 0;
    m.tmStruckOut = font.strikeOut ? 1 : 0;
    m.tmPitchAndFamily = f.pitchAndFamily;
    m.tmCharSet = f.charSet;
    *tm = m;
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, SIZE* size) {
    FontUse font;
    if (!size || count < 0 || (!text && count > 0) || static_cast<size_t>(count) > kMaxTextBytes ||
        !FontOfDc(hdc, font))
        return FALSE;
    int64_t width = 0;
    for (int i = 0; i < count; ++i) width += font.face->Advance(static_cast<uint8_t>(text[i]));
    size->cx = static_cast<LONG>(std::min<int64_t>(width, kMaxTextExtent));
    size->cy = font.face->height;
    return TRUE;
}

BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int count, SIZE* size) {
    return GetTextExtentPoint32(hdc, text, count, size);
}

BOOL GetCharWidth(HDC hdc, UINT first, UINT last, int* widths) {
    FontUse font;
    if (!widths || last < first || !FontOfDc(hdc, font)) return FALSE;
    for (UINT c = first;; ++c) {
        // Codes past the byte range draw as the default character, as in the code page.
        widths[c - first] = c <= 0xFF ? font.face->Advance(static_cast<uint8_t>(c))
                                      : font.face->Advance(font.face->defaultChar);
        if (c == last) break;
    }
    return TRUE;
}

int GetTextFace(HDC hdc, int size, LPSTR name) {
    FontUse font;
    if (!FontOfDc(hdc, font)) return 0;
    const std::string& face = font.face->faceName;
    if (!name) return static_cast<int>(face.size()) + 1;
    if (size <= 0) return 0;
    const size_t n = std::min(face.size(), static_cast<size_t>(size) - 1);
    std::memcpy(name, face.data(), n);
    name[n] = 0;
    return static_cast<int>(n);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx) {
    FontUse font;
    if ((!text && count > 0) || count > kMaxTextBytes || !FontOfDc(hdc, font)) return FALSE;
    return DrawTextRun(hdc, font, x, y, options, rect, std::string_view(text ? text : "", count), dx,
                       nullptr);
}

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count) {
    if (count < 0) return FALSE;
    return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

namespace plat {

std::shared_ptr<const BitmapFace> FaceOfFont(HFONT font) {
    const LOGFONT* lf = FontLogFont(font);
    if (!lf) return nullptr;
    if (auto* chosen = dynamic_cast<ChosenFace*>(FontFace(font))) return chosen->face;
    // Stock fonts carry no face: their names are not among the font files, so the choice
    // gives the dialog face at their height, and follows the registry as it changes.
    return ChooseFor(*lf);
}

std::shared_ptr<const BitmapFace> SelectedFace(HDC hdc) {
    FontUse font;
    return FontOfDc(hdc, font) ? font.face : nullptr;
}

}  // namespace plat

int AddFontResourceA(LPCSTR fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::optional<std::filesystem::path> host = plat::ResolveDosPath(fileName);
    if (!host) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return plat::AddFontFile(host->string());
}

BOOL RemoveFontResourceA(LPCSTR fileName) {
    const std::optional<std::filesystem::path> host =
        fileName && *fileName ? plat::ResolveDosPath(fileName) : std::optional<std::filesystem::path>();
    if (!host) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return plat::RemoveFontFile(host->string());
}
