#include "platform/fonts/font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H
#include FT_WINFONTS_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <type_traits>

namespace plat {

namespace {

// FreeType objects are not thread-safe; every use of the shared library takes this lock.
std::mutex& FreeTypeMutex() {
    static std::mutex m;
    return m;
}

class Library {
public:
    Library() {
        if (FT_Init_FreeType(&m_lib) != 0) {
            m_lib = nullptr;
            return;
        }
        // Pin the hinting engine, so a FREETYPE_PROPERTIES setting cannot change the pixels.
        FT_UInt version = TT_INTERPRETER_VERSION_40;
        FT_Property_Set(m_lib, "truetype", "interpreter-version", &version);
    }
    ~Library() {
        if (m_lib) FT_Done_FreeType(m_lib);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    FT_Library Get() const { return m_lib; }

private:
    FT_Library m_lib = nullptr;
};

FT_Library SharedLibrary() {
    static Library lib;
    return lib.Get();
}

struct FaceCloser {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

FacePtr OpenFace(std::span<const uint8_t> file, long index, std::string* error) {
    FT_Library lib = SharedLibrary();
    FT_Face face = nullptr;
    if (!lib) {
        if (error) *error = "FreeType did not start";
        return nullptr;
    }
    if (file.size() > static_cast<size_t>(std::numeric_limits<FT_Long>::max())) {
        if (error) *error = "file too large";
        return nullptr;
    }
    const FT_Error e = FT_New_Memory_Face(lib, file.data(), static_cast<FT_Long>(file.size()), index, &face);
    if (e != 0) {
        if (error) *error = "not a font file FreeType reads (error " + std::to_string(e) + ")";
        return nullptr;
    }
    return FacePtr(face);
}

// One glyph as FreeType drew it: ink pixels relative to the pen position on the baseline.
struct RawGlyph {
    bool present = false;
    int advance = 0;
    int left = 0;  // ink's left edge from the pen
    int top = 0;   // ink's top row above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> ink;  // width × rows, one byte a pixel
};

bool LoadRaw(FT_Face face, FT_UInt index, int embolden, RawGlyph& out) {
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    out.present = true;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = static_cast<int>(bm.width);
    out.rows = static_cast<int>(bm.rows);
    out.ink.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.rows), 0);
    if (!bm.buffer) return true;
    // A negative pitch means the rows are stored bottom first.
    const unsigned char* top = bm.pitch < 0 ? bm.buffer - static_cast<ptrdiff_t>(bm.pitch) * (out.rows - 1) : bm.buffer;
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = top + static_cast<ptrdiff_t>(bm.pitch) * y;
        for (int x = 0; x < out.width; ++x) {
            bool on = false;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                on = (row[x / 8] & (0x80 >> (x & 7))) != 0;
            } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                on = row[x] >= 128;
            }
            out.ink[static_cast<size_t>(y) * out.width + x] = on ? 1 : 0;
        }
    }
    if (embolden > 0 && out.width > 0) {
        // Bold drawn as a raster font's bold is simulated: every ink pixel repeated to the right.
        const int wider = out.width + embolden;
        std::vector<uint8_t> ink(static_cast<size_t>(wider) * static_cast<size_t>(out.rows), 0);
        for (int y = 0; y < out.rows; ++y)
            for (int x = 0; x < out.width; ++x)
                if (out.ink[static_cast<size_t>(y) * out.width + x])
                    for (int k = 0; k <= embolden; ++k) ink[static_cast<size_t>(y) * wider + x + k] = 1;
        out.ink = std::move(ink);
        out.width = wider;
    }
    if (embolden > 0) out.advance += embolden;
    return true;
}

struct InkExtent {
    int above = 0;  // rows of ink at and above the baseline row
    int below = 0;  // rows of ink below the baseline
};

InkExtent ExtentOf(const std::vector<RawGlyph>& raws) {
    InkExtent e;
    for (const RawGlyph& g : raws) {
        if (!g.present || g.rows == 0 || g.width == 0) continue;
        e.above = std::max(e.above, g.top);
        e.below = std::max(e.below, g.rows - g.top);
    }
    return e;
}

int AverageWidth(const BitmapFace& face) {
    int sum = 0, n = 0;
    for (int c = 'a'; c <= 'z'; ++c) {
        if (c < face.firstChar || c > face.lastChar) continue;
        sum += face.glyphs[static_cast<size_t>(c - face.firstChar)].advance;
        ++n;
    }
    if (n == 0) {
        for (const BitmapGlyph& g : face.glyphs)
            if (g.advance > 0) {
                sum += g.advance;
                ++n;
            }
    }
    return n ? (sum + n / 2) / n : 0;
}

// Puts the raw glyphs into cells of the face's height with the baseline below row ascent - 1.
// A glyph keeps its advance when its ink fits inside it (moved in if it sticks out on one
// side); ink wider than the advance widens the cell. Missing glyphs copy the default one.
void FillCells(BitmapFace& face, const std::vector<RawGlyph>& raws, RasterReport* report) {
    face.glyphs.assign(raws.size(), BitmapGlyph{});
    int widest = 0;
    for (size_t i = 0; i < raws.size(); ++i) {
        const RawGlyph& r = raws[i];
        BitmapGlyph& g = face.glyphs[i];
        if (!r.present) continue;
        int x0 = r.left;
        g.advance = std::max(r.advance, 0);
        if (r.width > 0 && (r.left < 0 || r.left + r.width > g.advance)) {
            if (r.width <= g.advance) {
                x0 = std::clamp(r.left, 0, g.advance - r.width);
            } else {
                x0 = 0;
                g.advance = r.width;
                if (report) ++report->widenedGlyphs;
            }
        }
        g.width = g.advance;
        g.bits.assign(static_cast<size_t>(g.RowBytes()) * static_cast<size_t>(face.height), 0);
        for (int y = 0; y < r.rows; ++y) {
            const int cy = face.ascent - r.top + y;
            for (int x = 0; x < r.width; ++x) {
                if (!r.ink[static_cast<size_t>(y) * r.width + x]) continue;
                if (cy < 0 || cy >= face.height) {
                    if (report) ++report->clippedPixels;
                    continue;
                }
                g.SetInk(x0 + x, cy);
            }
        }
        widest = std::max(widest, g.advance);
    }
    const size_t def = static_cast<size_t>(face.defaultChar - face.firstChar);
    BitmapGlyph fallback;
    if (def < raws.size() && raws[def].present) {
        fallback = face.glyphs[def];
    } else {
        fallback.advance = fallback.width = std::max(1, face.height / 4);
        fallback.bits.assign(static_cast<size_t>(fallback.RowBytes()) * static_cast<size_t>(face.height), 0);
    }
    for (size_t i = 0; i < raws.size(); ++i)
        if (!raws[i].present) face.glyphs[i] = fallback;
    face.maxWidth = std::max(widest, fallback.advance);
    face.avgWidth = AverageWidth(face);
}

int WeightOf(FT_Face face) {
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->version != 0xFFFF && os2->usWeightClass >= 100 && os2->usWeightClass <= 1000)
            return os2->usWeightClass;
    }
    return (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
}

uint8_t PitchAndFamilyOf(FT_Face face) {
    const std::string name = face->family_name ? face->family_name : "";
    uint8_t family = 0x20;  // FF_SWISS
    if (name.find("Mono") != std::string::npos || FT_IS_FIXED_WIDTH(face)) {
        family = 0x30;  // FF_MODERN
    } else if (name.find("Serif") != std::string::npos && name.find("Sans") == std::string::npos) {
        family = 0x10;  // FF_ROMAN
    }
    return static_cast<uint8_t>(family | (FT_IS_FIXED_WIDTH(face) ? 0 : 1));
}

}  // namespace

char32_t Cp1252CodePoint(uint8_t byte) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (byte < 0x20) return 0;
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

std::optional<BitmapFace> RasterizeOutline(std::span<const uint8_t> file, int faceIndex,
                                           const OutlineRasterOptions& options, std::string* error,
                                           RasterReport* report) {
    auto fail = [&](std::string text) -> std::optional<BitmapFace> {
        if (error) *error = std::move(text);
        return std::nullopt;
    };
    if (options.lastChar < options.firstChar) return fail("last character before first");
    if (options.defaultChar < options.firstChar || options.defaultChar > options.lastChar)
        return fail("default character outside the range");
    if (options.cellHeight < 0 || options.cellHeight > 1000 || options.yPpem < 0 || options.yPpem > 1000 ||
        options.xPpem < 0 || options.xPpem > 2000 || options.embolden < 0 || options.embolden > 8 ||
        (options.cellHeight == 0 && options.yPpem == 0))
        return fail("size out of range");

    std::lock_guard lock(FreeTypeMutex());
    FacePtr face = OpenFace(file, faceIndex, error);
    if (!face) return std::nullopt;
    if (!FT_IS_SCALABLE(face.get())) return fail("not an outline font");
    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0) return fail("no Unicode character map");

    auto renderAt = [&](int y) {
        const int x = options.xPpem ? options.xPpem : y;
        std::vector<RawGlyph> raws(static_cast<size_t>(options.lastChar - options.firstChar + 1));
        if (FT_Set_Pixel_Sizes(face.get(), static_cast<FT_UInt>(x), static_cast<FT_UInt>(y)) != 0) return raws;
        if (options.slant != 0.0) {
            // Shear about the middle of the lower-case letters, so the slant adds no net shift.
            FT_Matrix m{0x10000, static_cast<FT_Fixed>(std::lround(options.slant * 0x10000)), 0, 0x10000};
            FT_Vector delta{static_cast<FT_Pos>(std::lround(-options.slant * y * 0.27 * 64)), 0};
            FT_Set_Transform(face.get(), &m, &delta);
        }
        for (size_t i = 0; i < raws.size(); ++i) {
            const char32_t cp = Cp1252CodePoint(static_cast<uint8_t>(options.firstChar + i));
            if (cp) LoadRaw(face.get(), FT_Get_Char_Index(face.get(), cp), options.embolden, raws[i]);
        }
        return raws;
    };

    BitmapFace out;
    out.firstChar = options.firstChar;
    out.lastChar = options.lastChar;
    out.defaultChar = options.defaultChar;
    out.breakChar = std::clamp(options.breakChar, options.firstChar, options.lastChar);
    std::vector<RawGlyph> raws;
    int yPpem = options.yPpem;
    const FT_Face f = face.get();
    if (yPpem == 0) {
        // Start a little above the em the font's own line height suggests and shrink until
        // the ink of the whole range fits the cell.
        const double lineUnits = std::max<double>(1.0, f->ascender - f->descender);
        yPpem = static_cast<int>(std::ceil(options.cellHeight * f->units_per_EM / lineUnits)) + 1;
        for (; yPpem >= 1; --yPpem) {
            raws = renderAt(yPpem);
            const InkExtent e = ExtentOf(raws);
            if (e.above + e.below <= options.cellHeight) break;
        }
        if (yPpem < 1) return fail("no size fits the cell");
    } else {
        raws = renderAt(yPpem);
    }
    const InkExtent ink = ExtentOf(raws);
    if (options.cellHeight == 0) {
        const double scale = static_cast<double>(yPpem) / f->units_per_EM;
        out.ascent = static_cast<int>(std::ceil(f->ascender * scale));
        out.height = out.ascent + static_cast<int>(std::ceil(-f->descender * scale));
    } else {
        out.height = options.cellHeight;
        // Descenders sit on the bottom row; when the ink cannot fit, the tops win.
        out.ascent = ink.above + ink.below <= out.height ? out.height - ink.below : std::min(ink.above, out.height);
    }
    if (out.height <= 0) return fail("empty cell");
    if (report) *report = RasterReport{yPpem, 0, 0};
    FillCells(out, raws, report);

    out.faceName = options.faceName.empty() ? (f->family_name ? f->family_name : "") : options.faceName;
    out.internalLeading = std::max(0, out.height - yPpem);
    out.points = static_cast<int>(std::lround(yPpem * 72.0 / 96.0));
    out.weight = options.weight ? options.weight : WeightOf(f);
    out.italic = options.italic >= 0 ? options.italic != 0
                                     : ((f->style_flags & FT_STYLE_FLAG_ITALIC) != 0 || options.slant != 0.0);
    out.pitchAndFamily =
        options.pitchAndFamily >= 0 ? static_cast<uint8_t>(options.pitchAndFamily) : PitchAndFamilyOf(f);
    return out;
}

std::optional<BitmapFace> RasterizeScalable(const ScalableFace& face, int logHeight, std::string* error) {
    if (!face.file) {
        if (error) *error = "no font data";
        return std::nullopt;
    }
    OutlineRasterOptions o;
    o.faceName = face.faceName;
    o.weight = face.weight;
    o.italic = face.italic ? 1 : 0;
    if (logHeight > 0) {
        o.cellHeight = logHeight;
    } else {
        o.yPpem = logHeight < 0 ? -logHeight : 16;
    }
    return RasterizeOutline(*face.file, face.faceIndex, o, error);
}

namespace {

// One bitmap strike of a non-outline face FreeType opened.
std::optional<BitmapFace> StrikeFace(FT_Face face, int strike) {
    if (FT_Select_Size(face, strike) != 0) return std::nullopt;
    BitmapFace out;
    FT_WinFNT_HeaderRec win{};
    const bool isWin = FT_Get_WinFNT_Header(face, &win) == 0;
    bool byteCodes = true;
    if (isWin) {
        out.height = win.pixel_height;
        out.ascent = std::min<int>(win.ascent, win.pixel_height);
        out.internalLeading = win.internal_leading;
        out.externalLeading = win.external_leading;
        out.firstChar = win.first_char;
        out.lastChar = std::max(win.first_char, win.last_char);
        out.defaultChar = static_cast<uint8_t>(std::min<int>(win.first_char + win.default_char, out.lastChar));
        out.breakChar = static_cast<uint8_t>(std::min<int>(win.first_char + win.break_char, out.lastChar));
        out.weight = win.weight ? win.weight : 400;
        out.italic = win.italic != 0;
        out.underline = win.underline != 0;
        out.strikeOut = win.strike_out != 0;
        out.points = win.nominal_point_size;
        out.charSet = win.charset;
        out.pitchAndFamily = win.pitch_and_family;
        // Its only character map is the bytes themselves, which FreeType does not select.
        if (face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
    } else {
        const FT_Size_Metrics& m = face->size->metrics;
        out.ascent = static_cast<int>((m.ascender + 63) >> 6);
        out.height = out.ascent + static_cast<int>((-m.descender + 63) >> 6);
        if (out.height <= 0 || out.ascent < 0) {
            out.height = face->available_sizes[strike].height;
            out.ascent = out.height * 4 / 5;
        }
        out.firstChar = 0x20;
        out.lastChar = 0xFF;
        out.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
        out.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        out.points = static_cast<int>(std::lround((face->available_sizes[strike].y_ppem / 64.0) * 72.0 / 96.0));
        out.pitchAndFamily = PitchAndFamilyOf(face);
        byteCodes = FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0;
    }
    if (out.height <= 0 || out.height > 1000) return std::nullopt;
    out.faceName = face->family_name ? face->family_name : "";
    std::vector<RawGlyph> raws(static_cast<size_t>(out.lastChar - out.firstChar + 1));
    for (size_t i = 0; i < raws.size(); ++i) {
        const uint8_t byte = static_cast<uint8_t>(out.firstChar + i);
        const FT_ULong code = byteCodes ? byte : Cp1252CodePoint(byte);
        if (code) LoadRaw(face, FT_Get_Char_Index(face, code), 0, raws[i]);
    }
    FillCells(out, raws, nullptr);
    if (isWin) {
        out.avgWidth = win.avg_width;
        out.maxWidth = std::max<int>(win.max_width, out.maxWidth);
    }
    out.internalLeading = std::min(out.internalLeading, out.height);
    return out;
}

}  // namespace

void ReadWithFreeType(std::shared_ptr<const std::vector<uint8_t>> file, FontFileContents& out) {
    constexpr long kMaxFaces = 256;
    constexpr int kMaxStrikes = 64;
    if (!file) {
        out.error = "no font data";
        return;
    }
    std::lock_guard lock(FreeTypeMutex());
    std::string error;
    FacePtr probe = OpenFace(*file, -1, &error);
    if (!probe) {
        out.error = error;
        return;
    }
    const long count = std::min(probe->num_faces, kMaxFaces);
    probe.reset();
    for (long i = 0; i < count; ++i) {
        FacePtr face = OpenFace(*file, i, &error);
        if (!face) continue;
        FT_Face f = face.get();
        if (FT_IS_SCALABLE(f)) {
            ScalableFace s;
            s.file = file;
            s.faceIndex = static_cast<int>(i);
            s.faceName = f->family_name ? f->family_name : "";
            s.weight = WeightOf(f);
            s.italic = (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
            out.scalableFaces.push_back(std::move(s));
            continue;
        }
        for (int s = 0; s < std::min(f->num_fixed_sizes, kMaxStrikes); ++s) {
            if (auto face = StrikeFace(f, s)) out.bitmapFaces.push_back(std::move(*face));
        }
    }
    if (out.Empty()) out.error = error.empty() ? "no faces" : error;
}

}  // namespace plat
