#include "tools/fontbuild/fnt_writer.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace fontbuild {

namespace {

class Out {
public:
    std::vector<uint8_t> bytes;

    size_t Pos() const { return bytes.size(); }
    void U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) { plat::AppendLe16(bytes, static_cast<uint16_t>(v)); }
    void U32(uint32_t v) { plat::AppendLe32(bytes, v); }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
    void Text(const std::string& s, size_t width) {  // NUL-padded field
        for (size_t i = 0; i < width; ++i) U8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void CString(const std::string& s) {
        for (char c : s) U8(static_cast<uint8_t>(c));
        U8(0);
    }
    void Pascal(const std::string& s) {
        U8(static_cast<uint32_t>(std::min<size_t>(s.size(), 255)));
        for (size_t i = 0; i < std::min<size_t>(s.size(), 255); ++i) U8(static_cast<uint8_t>(s[i]));
    }
    void Align(size_t unit) {
        while (bytes.size() % unit) U8(0);
    }
    void Set16(size_t at, uint32_t v) { plat::SetLe16(bytes, at, static_cast<uint16_t>(v)); }
    void Set32(size_t at, uint32_t v) { plat::SetLe32(bytes, at, v); }
};

constexpr size_t kHeaderV2 = 118;
constexpr size_t kHeaderV3 = 148;
constexpr size_t kFontDirEntryHeader = 113;  // FNT header fields up to dfBitsPointer
constexpr uint32_t kFaceOffsetField = 105;
constexpr uint32_t kBitsPointerField = 109;

// Glyph bitmaps in the file's layout: columns of eight pixels, each column top to bottom.
std::vector<uint8_t> Columns(const plat::BitmapGlyph& g, int width, int height) {
    const int columns = (width + 7) / 8;
    std::vector<uint8_t> out(static_cast<size_t>(columns) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (g.Ink(x, y)) out[static_cast<size_t>(x / 8) * height + y] |= static_cast<uint8_t>(0x80 >> (x & 7));
    return out;
}

std::vector<uint8_t> WriteVersion(const plat::BitmapFace& face, const FntOptions& options, bool v3) {
    const int count = face.lastChar - face.firstChar + 1;
    const size_t header = v3 ? kHeaderV3 : kHeaderV2;
    const size_t entry = v3 ? 6 : 4;
    const size_t tableEnd = header + (static_cast<size_t>(count) + 1) * entry;

    const plat::BitmapGlyph& breakGlyph = face.glyphs[static_cast<size_t>(face.breakChar - face.firstChar)];
    std::vector<std::vector<uint8_t>> bitmaps;
    int maxWidth = 0, widthBytes = 0;
    bool fixed = true;
    for (const plat::BitmapGlyph& g : face.glyphs) {
        bitmaps.push_back(Columns(g, g.advance, face.height));
        maxWidth = std::max(maxWidth, g.advance);
        widthBytes += (g.advance + 7) / 8;
        fixed = fixed && g.advance == face.glyphs.front().advance;
    }
    // The extra last entry of the table is a blank of the break character's width.
    plat::BitmapGlyph blank;
    blank.advance = blank.width = breakGlyph.advance;
    blank.bits.assign(static_cast<size_t>(blank.RowBytes()) * face.height, 0);
    bitmaps.push_back(Columns(blank, blank.advance, face.height));

    Out o;
    o.U16(v3 ? 0x0300 : 0x0200);
    o.U32(0);  // dfSize, set below
    o.Text(options.copyright, 60);
    o.U16(0);  // dfType: raster, bits in the file
    o.U16(static_cast<uint32_t>(face.points));
    o.U16(static_cast<uint32_t>(face.vertRes));
    o.U16(static_cast<uint32_t>(face.horizRes));
    o.U16(static_cast<uint32_t>(face.ascent));
    o.U16(static_cast<uint32_t>(face.internalLeading));
    o.U16(static_cast<uint32_t>(face.externalLeading));
    o.U8(face.italic ? 1 : 0);
    o.U8(face.underline ? 1 : 0);
    o.U8(face.strikeOut ? 1 : 0);
    o.U16(static_cast<uint32_t>(face.weight));
    o.U8(face.charSet);
    o.U16(fixed ? static_cast<uint32_t>(maxWidth) : 0);  // dfPixWidth
    o.U16(static_cast<uint32_t>(face.height));
    o.U8(fixed ? (face.pitchAndFamily & ~1u) : (face.pitchAndFamily | 1u));
    o.U16(static_cast<uint32_t>(face.avgWidth));
    o.U16(static_cast<uint32_t>(maxWidth));
    o.U8(face.firstChar);
    o.U8(face.lastChar);
    o.U8(static_cast<uint32_t>(face.defaultChar - face.firstChar));
    o.U8(static_cast<uint32_t>(face.breakChar - face.firstChar));
    o.U16(static_cast<uint32_t>(std::min(0xFFFF, (widthBytes + 1) & ~1)));
    o.U32(0);                                // dfDevice
    o.U32(0);                                // dfFace, set below
    o.U32(0);                                // dfBitsPointer
    o.U32(static_cast<uint32_t>(tableEnd));  // dfBitsOffset
    o.U8(0);                                 // dfReserved
    if (v3) {
        o.U32(fixed ? 0x0011 : 0x0012);  // DFF_1COLOR with DFF_FIXED or DFF_PROPORTIONAL
        o.Zeros(2 + 2 + 2 + 4 + 16);     // A, B, C spaces, colour table, reserved
    }
    size_t at = tableEnd;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const int width = i < face.glyphs.size() ? face.glyphs[i].advance : blank.advance;
        o.U16(static_cast<uint32_t>(width));
        if (v3) {
            o.U32(static_cast<uint32_t>(at));
        } else {
            o.U16(static_cast<uint32_t>(at));
        }
        at += bitmaps[i].size();
    }
    for (const auto& b : bitmaps) o.bytes.insert(o.bytes.end(), b.begin(), b.end());
    const size_t faceAt = o.Pos();
    o.CString(face.faceName);
    o.Set32(2, static_cast<uint32_t>(o.Pos()));
    o.Set32(kFaceOffsetField, static_cast<uint32_t>(faceAt));
    return o.bytes;
}

}  // namespace

std::vector<uint8_t> WriteFnt(const plat::BitmapFace& face, const FntOptions& options) {
    if (!face.Valid()) return {};
    if (!options.forceVersion3) {
        std::vector<uint8_t> v2 = WriteVersion(face, options, false);
        if (v2.size() <= 0xFFFF) return v2;
    }
    return WriteVersion(face, options, true);
}

std::vector<uint8_t> WriteFon(const FonModule& module) {
    constexpr uint32_t kShift = 4;  // resources aligned to 16 bytes
    constexpr uint32_t kUnit = 1u << kShift;
    if (module.fonts.empty() || module.fonts.size() > 0x7FFF) return {};
    for (const auto& f : module.fonts)
        if (f.size() < kFontDirEntryHeader) return {};

    Out o;
    // DOS header and a stub that exits at once when the file is run under DOS.
    constexpr uint32_t kNe = 0x50;
    o.U16(0x5A4D);
    o.U16(kNe);  // bytes in the last page
    o.U16(1);    // pages
    o.U16(0);    // relocations
    o.U16(4);    // header paragraphs
    o.U16(0);
    o.U16(0xFFFF);
    o.U16(0);      // SS
    o.U16(0x100);  // SP
    o.U16(0);      // checksum
    o.U16(0);      // IP
    o.U16(0);      // CS
    o.U16(0x40);   // relocation table: 0x40 marks a new-style executable
    o.U16(0);
    o.Zeros(0x3C - o.Pos());
    o.U32(kNe);
    const uint8_t stub[] = {0xB8, 0x01, 0x4C, 0xCD, 0x21};  // mov ax, 4C01h; int 21h
    o.bytes.insert(o.bytes.end(), std::begin(stub), std::end(stub));
    o.Zeros(kNe - o.Pos());

    // NE header; table offsets are filled in as the tables are written.
    o.U8('N');
    o.U8('E');
    o.U8(5);
    o.U8(10);
    o.Zeros(0x40 - 4);
    auto field16 = [&](uint32_t offset, size_t value) { o.Set16(kNe + offset, static_cast<uint32_t>(value)); };
    o.Set16(kNe + 0x0C, 0x8000);  // a library module
    o.Set16(kNe + 0x32, kShift);
    o.Set16(kNe + 0x34, static_cast<uint32_t>(module.fonts.size() + 1));
    o.bytes[kNe + 0x36] = 2;  // Windows
    o.Set16(kNe + 0x3E, 0x030A);
    field16(0x22, o.Pos() - kNe);  // no segments

    // Resource table: the font directory (named "FONTDIR") and the fonts.
    const size_t resTable = o.Pos();
    field16(0x24, resTable - kNe);
    o.U16(kShift);
    o.U16(0x8007);
    o.U16(1);
    o.U32(0);
    const size_t dirInfo = o.Pos();
    o.Zeros(12);
    o.U16(0x8008);
    o.U16(static_cast<uint32_t>(module.fonts.size()));
    o.U32(0);
    const size_t fontInfo = o.Pos();
    o.Zeros(12 * module.fonts.size());
    o.U16(0);
    const size_t dirName = o.Pos();
    o.Pascal("FONTDIR");
    o.U8(0);

    field16(0x26, o.Pos() - kNe);
    o.Pascal(module.moduleName);
    o.U16(0);
    o.U8(0);
    field16(0x28, o.Pos() - kNe);  // no module references
    field16(0x2A, o.Pos() - kNe);
    o.U8(0);  // imported names: none
    field16(0x04, o.Pos() - kNe);
    field16(0x06, 2);
    o.U16(0);  // entry table: none
    const size_t nonResident = o.Pos();
    o.Pascal(module.description);
    o.U16(0);
    o.U8(0);
    o.Set32(kNe + 0x2C, static_cast<uint32_t>(nonResident));
    field16(0x20, o.Pos() - nonResident);

    // Font directory: per font its number, the header fields up to dfBitsPointer, then the
    // device and face names.
    std::vector<uint8_t> dir;
    {
        Out d;
        d.U16(static_cast<uint32_t>(module.fonts.size()));
        for (size_t i = 0; i < module.fonts.size(); ++i) {
            const auto& f = module.fonts[i];
            d.U16(static_cast<uint32_t>(i + 1));
            const size_t start = d.Pos();
            d.bytes.insert(d.bytes.end(), f.begin(), f.begin() + kFontDirEntryHeader);
            d.Set32(start + kBitsPointerField, 0);
            d.U8(0);  // no device name
            const uint32_t faceOffset = plat::GetLe32(f, kFaceOffsetField);
            for (size_t k = faceOffset; k < f.size() && f[k] != 0; ++k) d.U8(f[k]);
            d.U8(0);
        }
        dir = std::move(d.bytes);
    }

    auto place = [&](size_t info, const std::vector<uint8_t>& data, uint32_t flags, uint32_t id) -> bool {
        o.Align(kUnit);
        const size_t offset = o.Pos() / kUnit;
        const size_t length = (data.size() + kUnit - 1) / kUnit;
        if (offset > 0xFFFF || length > 0xFFFF) return false;
        o.bytes.insert(o.bytes.end(), data.begin(), data.end());
        o.Set16(info, static_cast<uint32_t>(offset));
        o.Set16(info + 2, static_cast<uint32_t>(length));
        o.Set16(info + 4, flags);
        o.Set16(info + 6, id);
        return true;
    };
    // Directory: moveable, pure, preloaded; fonts: moveable, pure, discardable.
    if (!place(dirInfo, dir, 0x0C50, static_cast<uint32_t>(dirName - resTable))) return {};
    for (size_t i = 0; i < module.fonts.size(); ++i)
        if (!place(fontInfo + 12 * i, module.fonts[i], 0x1C30, 0x8000 | static_cast<uint32_t>(i + 1))) return {};
    o.Align(kUnit);
    return o.bytes;
}

}  // namespace fontbuild
