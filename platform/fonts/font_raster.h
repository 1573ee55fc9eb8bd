// FreeType's part of the text layer: monochrome rasterizing of outline fonts into bitmap
// faces (for TrueType files added at run time and for the font builder), and reading the
// bitmap strikes of the formats FreeType knows (BDF, PCF, PE fonts).
// Rendering is hinted and monochrome, so a face is the same pixels on every machine that
// has the same FreeType release and font file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/fonts/bitmap_face.h"
#include "platform/fonts/font_file.h"

namespace plat {

// The Unicode character of a Windows-1252 byte; 0 for the five bytes without one and for
// the control bytes below 0x20.
char32_t Cp1252CodePoint(uint8_t byte);

struct OutlineRasterOptions {
    std::string faceName;  // empty: the file's family name
    // Cell height in pixels. With yPpem 0 the largest em is chosen whose ink (accents and
    // descenders of the whole character range) fits the cell; with cellHeight 0 the cell is
    // the font's ascender plus descender at yPpem.
    int cellHeight = 0;
    int yPpem = 0;
    int xPpem = 0;            // 0: square pixels; smaller condenses, larger widens
    double slant = 0.0;       // shear of a synthetic oblique, x per y (0.2 is about 11 degrees)
    int weight = 0;           // 0: from the file
    int embolden = 0;         // each glyph's ink smeared this many pixels right, advance as much wider
    int italic = -1;          // -1: from the file
    int pitchAndFamily = -1;  // -1: variable pitch, family guessed from the name
    uint8_t firstChar = 0x20;
    uint8_t lastChar = 0xFF;
    uint8_t defaultChar = '?';
    uint8_t breakChar = ' ';
};

struct RasterReport {
    int yPpem = 0;
    int clippedPixels = 0;  // ink outside the cell, lost
    int widenedGlyphs = 0;  // glyphs whose ink was wider than their advance
};

// Bytes without a glyph in the font (and without a character) get the default character's
// glyph. The average width is the mean advance of the letters a to z.
std::optional<BitmapFace> RasterizeOutline(std::span<const uint8_t> file, int faceIndex,
                                           const OutlineRasterOptions& options, std::string* error,
                                           RasterReport* report = nullptr);

// An outline face at a LOGFONT height: positive is the cell height, negative the em height,
// zero a default of 16 pixels to the em.
std::optional<BitmapFace> RasterizeScalable(const ScalableFace& face, int logHeight, std::string* error);

// Fills out with the faces FreeType finds in the file (used for files that are not Windows
// raster fonts); out.error says why when there are none.
void ReadWithFreeType(std::shared_ptr<const std::vector<uint8_t>> file, FontFileContents& out);

}  // namespace plat
