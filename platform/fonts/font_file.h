// Reading font files into bitmap faces. Windows raster fonts (a .FON executable holding FNT
// resources, or a bare .FNT) are parsed here, every field bounds-checked; any other file
// FreeType reads (BDF, PCF, PE fonts, TrueType) goes through FreeType: its bitmap strikes
// become bitmap faces, its outline faces are kept for rasterizing at the sizes asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/fonts/bitmap_face.h"

namespace plat {

// An outline face of a font file, drawn at a size only when a font of it is made.
struct ScalableFace {
    std::shared_ptr<const std::vector<uint8_t>> file;
    int faceIndex = 0;
    std::string faceName;
    int weight = 400;
    bool italic = false;
};

struct FontFileContents {
    std::vector<BitmapFace> bitmapFaces;
    std::vector<ScalableFace> scalableFaces;
    std::string error;  // empty when the file gave at least one face

    bool Empty() const { return bitmapFaces.empty() && scalableFaces.empty(); }
};

FontFileContents ReadFontFile(const std::string& hostPath);
FontFileContents ReadFontBytes(std::vector<uint8_t> bytes);

// The bitmap faces of a file; empty, with the reason in *error, when it has none.
std::vector<BitmapFace> LoadFontFile(const std::string& hostPath, std::string* error = nullptr);

// The parsers of the Windows formats alone (no FreeType fallback), for tests and tools.
// A damaged resource is refused whole: a face is either complete or absent.
bool ParseFnt(std::span<const uint8_t> resource, BitmapFace& out, std::string& error);
bool ParseFon(std::span<const uint8_t> file, std::vector<BitmapFace>& out, std::string& error);

}  // namespace plat
