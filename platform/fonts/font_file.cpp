#include "platform/fonts/font_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/core/byte_order.h"
#include "platform/fonts/font_raster.h"

namespace plat {

namespace {

// Little-endian reads that never leave the span: a read past the end gives 0 and clears ok,
// which every caller checks before it uses what it read as a size or an offset.
using Reader = plat::LeReader;

// Header field offsets of the Windows FNT format (versions 2.0 and 3.0).
enum : uint32_t {
    kFntVersion = 0,
    kFntSize = 2,
    kFntType = 66,
    kFntPoints = 68,
    kFntVertRes = 70,
    kFntHorizRes = 72,
    kFntAscent = 74,
    kFntInternalLeading = 76,
    kFntExternalLeading = 78,
    kFntItalic = 80,
    kFntUnderline = 81,
    kFntStrikeOut = 82,
    kFntWeight = 83,
    kFntCharSet = 85,
    kFntPixWidth = 86,
    kFntPixHeight = 88,
    kFntPitchAndFamily = 90,
    kFntAvgWidth = 91,
    kFntMaxWidth = 93,
    kFntFirstChar = 95,
    kFntLastChar = 96,
    kFntDefaultChar = 97,
    kFntBreakChar = 98,
    kFntFace = 105,
    kFntHeaderV2 = 118,
    kFntHeaderV3 = 148,
};

constexpr size_t kMaxFaceName = 64;
// More FONT resources than any real font file holds; bounds the work a crafted table can ask.
constexpr size_t kMaxFontResources = 256;

bool Refuse(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

}  // namespace

bool ParseFnt(std::span<const uint8_t> resource, BitmapFace& out, std::string& error) {
    Reader r(resource);
    if (!r.Has(0, kFntHeaderV2)) return Refuse(error, "too short for a font header");
    const uint16_t version = r.U16(kFntVersion);
    if (version != 0x0200 && version != 0x0300) {
        return Refuse(error, "not a Windows raster font (version " + std::to_string(version) + ")");
    }
    const uint32_t headerSize = version == 0x0300 ? kFntHeaderV3 : kFntHeaderV2;
    const uint32_t entrySize = version == 0x0300 ? 6 : 4;
    const uint32_t declaredSize = r.U32(kFntSize);
    if (declaredSize < headerSize || !r.Has(0, declaredSize)) {
        return Refuse(error, "font size " + std::to_string(declaredSize) + " does not fit the " +
                                 std::to_string(resource.size()) + " bytes present");
    }
    Reader f(resource.first(declaredSize));
    if (f.U16(kFntType) & 1) {
        return Refuse(error, "vector fonts are not supported");
    }
    BitmapFace face;
    face.height = f.U16(kFntPixHeight);
    const int pixWidth = f.U16(kFntPixWidth);
    face.firstChar = f.U8(kFntFirstChar);
    face.lastChar = f.U8(kFntLastChar);
    if (face.height == 0) {
        return Refuse(error, "zero cell height");
    }
    if (face.lastChar < face.firstChar) {
        return Refuse(error, "last character before first");
    }
    face.points = f.U16(kFntPoints);
    face.vertRes = f.U16(kFntVertRes);
    face.horizRes = f.U16(kFntHorizRes);
    face.ascent = std::min<int>(f.U16(kFntAscent), face.height);
    face.internalLeading = std::min<int>(f.U16(kFntInternalLeading), face.height);
    face.externalLeading = f.U16(kFntExternalLeading);
    face.italic = f.U8(kFntItalic) != 0;
    face.underline = f.U8(kFntUnderline) != 0;
    face.strikeOut = f.U8(kFntStrikeOut) != 0;
    face.weight = f.U16(kFntWeight);
    if (face.weight == 0) face.weight = 400;
    face.charSet = f.U8(kFntCharSet);
    face.pitchAndFamily = f.U8(kFntPitchAndFamily);
    face.avgWidth = f.U16(kFntAvgWidth);
    face.maxWidth = f.U16(kFntMaxWidth);
    // Default and break characters are stored relative to the first character.
    const int defaultChar = face.firstChar + f.U8(kFntDefaultChar);
    const int breakChar = face.firstChar + f.U8(kFntBreakChar);
    face.defaultChar = static_cast<uint8_t>(defaultChar <= face.lastChar ? defaultChar : face.firstChar);
    face.breakChar = static_cast<uint8_t>(breakChar <= face.lastChar ? breakChar : face.firstChar);

    const uint32_t faceOffset = f.U32(kFntFace);
    if (faceOffset != 0) {
        if (faceOffset >= declaredSize) {
            return Refuse(error, "face name offset past the end");
        }
        for (uint32_t i = faceOffset; i < declaredSize && face.faceName.size() < kMaxFaceName; ++i) {
            const uint8_t c = f.U8(i);
            if (c == 0) break;
            face.faceName.push_back(static_cast<char>(c));
        }
    }

    const int count = face.lastChar - face.firstChar + 1;
    if (!f.Has(headerSize, static_cast<uint64_t>(count) * entrySize)) {
        return Refuse(error, "character table runs past the end");
    }
    face.glyphs.resize(static_cast<size_t>(count));
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        const uint64_t entry = headerSize + static_cast<uint64_t>(i) * entrySize;
        int width = f.U16(entry);
        const uint64_t offset = entrySize == 6 ? f.U32(entry + 2) : f.U16(entry + 2);
        if (pixWidth != 0 && width == 0) width = pixWidth;
        const uint64_t columns = (static_cast<uint64_t>(width) + 7) / 8;
        const uint64_t bytes = columns * static_cast<uint64_t>(face.height);
        if (!f.ok() || !f.Has(offset, bytes)) {
            return Refuse(error, "bitmap of character " + std::to_string(face.firstChar + i) + " lies past the end");
        }
        BitmapGlyph& g = face.glyphs[static_cast<size_t>(i)];
        g.advance = g.width = width;
        g.bits.assign(static_cast<size_t>(g.RowBytes()) * static_cast<size_t>(face.height), 0);
        // The file stores each glyph as columns eight pixels wide, top row first.
        for (uint64_t col = 0; col < columns; ++col) {
            for (int row = 0; row < face.height; ++row) {
                g.bits[static_cast<size_t>(row) * g.RowBytes() + col] = resource[offset + col * face.height + row];
            }
        }
        if (width % 8) {  // clear stray bits beyond the cell
            const uint8_t mask = static_cast<uint8_t>(0xFF << (8 - width % 8));
            for (int row = 0; row < face.height; ++row) g.bits[static_cast<size_t>(row + 1) * g.RowBytes() - 1] &= mask;
        }
        widest = std::max(widest, width);
    }
    if (face.maxWidth == 0) face.maxWidth = widest;
    if (!f.ok()) {
        return Refuse(error, "header runs past the end");
    }
    out = std::move(face);
    return true;
}

bool ParseFon(std::span<const uint8_t> file, std::vector<BitmapFace>& out, std::string& error) {
    Reader r(file);
    if (r.U16(0) != 0x5A4D) return Refuse(error, "not an executable");  // "MZ"
    const uint64_t ne = r.U32(0x3C);
    if (!r.ok() || r.U16(ne) != 0x454E) return Refuse(error, "not a 16-bit Windows executable");  // "NE"
    const uint64_t resTable = ne + r.U16(ne + 0x24);
    const uint64_t resEnd = ne + r.U16(ne + 0x26);  // the resident name table follows it
    if (!r.ok() || resEnd <= resTable) {
        return Refuse(error, "no resource table");
    }
    const uint16_t shift = r.U16(resTable);
    if (!r.ok() || shift > 24) {
        return Refuse(error, "bad resource alignment");
    }
    std::vector<BitmapFace> faces;
    uint64_t pos = resTable + 2;
    for (;;) {
        const uint16_t type = r.U16(pos);
        if (!r.ok()) {
            return Refuse(error, "resource table runs past the end");
        }
        if (type == 0) break;
        const uint16_t count = r.U16(pos + 2);
        pos += 8;
        if (!r.Has(pos, static_cast<uint64_t>(count) * 12)) {
            return Refuse(error, "resource table runs past the end");
        }
        if (type == 0x8008) {  // RT_FONT
            if (faces.size() + count > kMaxFontResources) {
                return Refuse(error, "too many font resources");
            }
            for (uint16_t i = 0; i < count; ++i) {
                const uint64_t offset = static_cast<uint64_t>(r.U16(pos + i * 12ull)) << shift;
                const uint64_t length = static_cast<uint64_t>(r.U16(pos + i * 12ull + 2)) << shift;
                if (length == 0 || offset >= file.size()) {
                    return Refuse(error,
                                  "font resource " + std::to_string(faces.size() + 1) + " lies outside the file");
                }
                const auto resource = file.subspan(offset, std::min<uint64_t>(length, file.size() - offset));
                BitmapFace face;
                std::string why;
                if (!ParseFnt(resource, face, why)) {
                    return Refuse(error, "font resource " + std::to_string(faces.size() + 1) + ": " + why);
                }
                faces.push_back(std::move(face));
            }
        }
        pos += static_cast<uint64_t>(count) * 12;
    }
    if (faces.empty()) {
        return Refuse(error, "no font resources");
    }
    out = std::move(faces);
    return true;
}

FontFileContents ReadFontBytes(std::vector<uint8_t> bytes) {
    FontFileContents out;
    const std::span<const uint8_t> data(bytes);
    Reader r(data);
    const uint16_t first = r.U16(0);
    bool isNe = false;
    if (first == 0x5A4D) {
        const uint64_t ne = r.U32(0x3C);
        isNe = r.ok() && r.U16(ne) == 0x454E;
    }
    if (isNe) {
        ParseFon(data, out.bitmapFaces, out.error);
        return out;
    }
    if (first == 0x0200 || first == 0x0300) {
        BitmapFace face;
        if (ParseFnt(data, face, out.error)) out.bitmapFaces.push_back(std::move(face));
        return out;
    }
    ReadWithFreeType(std::make_shared<const std::vector<uint8_t>>(std::move(bytes)), out);
    return out;
}

FontFileContents ReadFontFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        FontFileContents out;
        out.error = "cannot open " + hostPath;
        return out;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        FontFileContents out;
        out.error = "cannot read " + hostPath;
        return out;
    }
    FontFileContents out = ReadFontBytes(std::move(bytes));
    if (!out.error.empty()) out.error = hostPath + ": " + out.error;
    return out;
}

std::vector<BitmapFace> LoadFontFile(const std::string& hostPath, std::string* error) {
    FontFileContents contents = ReadFontFile(hostPath);
    if (contents.bitmapFaces.empty() && error) {
        *error = contents.error.empty() ? hostPath + ": no bitmap faces" : contents.error;
    }
    return std::move(contents.bitmapFaces);
}

}  // namespace plat
