// CBitmapFont: a proportional font whose glyphs are painted in a picture, the font strip, with
// the characters listed in strip order in string 1 of the 'IST' list of the same id. The strip
// is scanned once; text is then measured and drawn as styled units (characters, spaces of a
// given width, inline pictures) straight into the pixels of a target picture.
//
// Strip layout: pixel (0, 0) is the background colour; pixel (0, 1), when not 0, the cap colour
// A. From row 2 down, each row whose column-0 pixel is not 0 is a glyph row (at most 10); the
// last one's column-0 colour is the separator colour B. Along a glyph row, runs of B separate
// glyphs. A glyph's extent is found in its last column: up from its row to a B pixel (an A
// pixel on the way ends the glyph's cell and makes the rows below it space), and down to the
// next B pixel (its descent).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "media/text/cor_string.h"
#include "media/text/text_host.h"
#include "media/util/cor_geometry.h"
#include "platform/core/wintypes.h"

class CBitmapFont {
public:
    static constexpr int kMaxGlyphRows = 10;
    static constexpr uint16_t kNoTarget = 0xFFFF;

    // What one unit occupies: its advance (without spacing), its height, rows above the
    // baseline (the pen's y) and its descent.
    struct UnitSize {
        int16_t width = 0;
        int16_t height = 0;
        int16_t above = 0;
        int16_t descent = 0;
    };

    CBitmapFont(int16_t stripId, uint16_t sizeValue, uint16_t spacing);
    virtual ~CBitmapFont();
    CBitmapFont(const CBitmapFont&) = delete;
    CBitmapFont& operator=(const CBitmapFont&) = delete;

    // An extension control sequence (a code other than -2 and -1 within the code range), drawn
    // at the pen and measured. The base draws nothing and measures 0, 0, 0.
    virtual void DrawExtension(std::span<const BYTE> sequence);
    virtual void MeasureExtension(std::span<const BYTE> sequence, int16_t& height, int16_t& width,
                                  int16_t& verticalOffset);

    void MoveTo(int16_t x, int16_t y) {
        penX = x;
        penY = y;
    }
    // The picture drawing writes into (module-relative id); 0xFFFF: none.
    void SetTarget(uint16_t pictureId);

    void DrawUnits(std::span<const BYTE> text, int16_t units);
    void DrawString(const CCorStyledString& text);
    // Draws with the blanks stretched so that the line ends exactly lineWidth to the right.
    void DrawJustified(std::span<const BYTE> text, int16_t units, int16_t lineWidth);

    // Width = sum of (unit width + spacing) - spacing; height = the tallest unit. Returns the
    // spacing.
    uint16_t MeasureText(std::span<const BYTE> text, int16_t units, int16_t& height, int16_t& width);
    int16_t TextWidth(std::span<const BYTE> text, int16_t units);
    void TextRect(std::span<const BYTE> text, int16_t units, CCorRect& rect);
    int16_t MaxDescent(const CCorStyledString& text);
    int16_t MaxDescent(std::span<const BYTE> text, int16_t units);
    int16_t PictureWidth(int16_t pictureId) const;
    int16_t PictureHeight(int16_t pictureId) const;

    // The size of the unit at the start of `unit` (one whole unit).
    UnitSize SizeOfUnit(std::span<const BYTE> unit);
    int CodeRange() const { return codeRange; }

    BOOL Defined(BYTE c) const { return defined[c] != 0; }
    int16_t GlyphWidth(BYTE c) const { return width[c]; }
    int16_t GlyphHeight(BYTE c) const { return height[c]; }
    int16_t GlyphAscent(BYTE c) const { return ascent[c]; }
    int16_t GlyphDescent(BYTE c) const { return descent[c]; }
    uint32_t GlyphOffset(BYTE c) const { return offset[c]; }
    int16_t Baseline() const { return baseline; }
    int16_t LineHeight() const { return lineHeight; }
    int16_t GreatestDescent() const { return maxDescent; }
    uint16_t Spacing() const { return spacing; }
    uint16_t SizeValue() const { return sizeValue; }
    uint16_t CharTotal() const { return charTotal; }
    BYTE InkColor() const { return inkColor; }
    void SetInkColor(BYTE colour) { inkColor = colour; }
    BYTE BackgroundColor() const { return backgroundColor; }
    int16_t PenX() const { return penX; }
    int16_t PenY() const { return penY; }
    uint16_t Target() const { return targetId; }
    const CCorString& Characters() const { return characters; }

protected:
    void SetCodeRange(int16_t range) { codeRange = range; }

private:
    void ScanStrip();
    // Blank characters among the units (control sequences skipped).
    int CountBlanks(std::span<const BYTE> text, int16_t units) const;
    void DrawGlyph(BYTE c, const LockedPicture& strip, const LockedPicture& target);
    void DrawPicture(std::span<const BYTE> sequence, const LockedPicture& target);
    // Draws the units; blanks advance by spacing + stretch (the last one by lastStretch) when
    // stretching.
    void Draw(std::span<const BYTE> text, int16_t units, bool stretch, int stretchBy, int lastStretchBy);

    int16_t codeRange = 2;
    uint16_t stripId = 0;
    uint16_t charTotal = 0;
    uint16_t spacing = 0;
    int16_t maxDescent = 0;
    int16_t stripStride = 0;
    BYTE inkColor = 0;
    BYTE backgroundColor = 0;
    std::array<uint16_t, 256> defined{};
    std::array<int16_t, 256> height{};
    std::array<int16_t, 256> width{};
    std::array<int16_t, 256> ascent{};
    std::array<int16_t, 256> descent{};
    std::array<uint32_t, 256> offset{};
    int16_t penY = 0;
    int16_t penX = 0;
    int16_t lineHeight = 0;
    uint16_t sizeValue = 0;
    int16_t baseline = 0;
    uint16_t targetId = kNoTarget;
    int16_t targetWidth = 0;
    int16_t targetHeight = 0;
    int16_t targetStride = 0;
    CCorString characters;
};
