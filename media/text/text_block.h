// CTextBlock: a styled string laid out in a bitmap font, word-wrapped, justified inside an
// optional box over an optional background picture, fill and frame, drawn into a blank picture
// of its own size that a display sprite shows at the block's position. CTextStyle carries
// every setting to the constructor.
#pragma once

#include <cstdint>
#include <vector>

#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/util/cor_geometry.h"

// Justification flags. A value without a horizontal flag gets kJustifyLeft, one without a
// vertical flag kJustifyTop.
enum : BYTE {
    kJustifyLeft = 0x01,
    kJustifyRight = 0x02,
    kJustifyCentre = 0x04,
    kJustifyStretch = 0x08,  // blanks stretched to the width
    kJustifyTop = 0x10,
    kJustifyBottom = 0x20,
    kJustifyMiddle = 0x40,
    kJustifySpread = 0x80,  // lines spread over the height
};

struct CTextStyle {
    CCorStyledString* text = nullptr;
    CBitmapFont* font = nullptr;
    int16_t x = 0;
    int16_t y = 0;
    int16_t wrapWidth = -1;         // -1: one line, sized to the text
    const CCorRect* box = nullptr;  // when given: wrap and justify inside it
    BYTE justification = kJustifyLeft | kJustifyTop;
    uint16_t reserved = 0;
    int16_t marginX = 0;
    int16_t marginY = 0;
    int16_t frameWidth = 0;
    uint16_t frameColor = 999;
    uint16_t backgroundId = 0xFFFF;  // 0xFFFF: none
    int16_t backgroundX = 0;
    int16_t backgroundY = 0;
    uint16_t inkColor = 999;  // 999: the font's own colours
    int16_t lineGap = 999;    // 999: the font's greatest descent + 3
    BYTE fillColor = 0;
};

// One laid-out line: units of the text from a byte offset, and its baseline in the block.
struct TextBlockLine {
    int32_t start = 0;
    int16_t units = 0;
    int16_t baseline = 0;
    BYTE justification = 0;
};
static_assert(sizeof(TextBlockLine) == 12);

class CTextLineList {
public:
    void Append(const TextBlockLine& line) { m_lines.push_back(line); }
    // At index 0..length (the end appends); false outside.
    bool InsertAt(int16_t index, const TextBlockLine& line);
    // Null outside 0..length - 1.
    TextBlockLine* ItemAt(int16_t index);
    const TextBlockLine* ItemAt(int16_t index) const;
    void FreeAll() { m_lines.clear(); }
    int16_t Length() const { return static_cast<int16_t>(m_lines.size()); }

private:
    std::vector<TextBlockLine> m_lines;
};

class CTextBlock {
public:
    enum Mode : int16_t { kSingleLine = 1, kWrapToWidth = 2, kWrapInBox = 3 };

    explicit CTextBlock(const CTextStyle& style);
    // Wrapped inside the box; every other setting as CTextStyle starts it.
    CTextBlock(CCorStyledString* text, CBitmapFont* font, CCorPoint position, const CCorRect& box,
               BYTE justification, uint16_t reserved);
    ~CTextBlock();
    CTextBlock(const CTextBlock&) = delete;
    CTextBlock& operator=(const CTextBlock&) = delete;

    BOOL HasSprite(const void* sprite) const { return sprite != nullptr && sprite == Sprite(); }
    // Lays the text out again by the mode and draws it (mode 3 into the same picture).
    void Relayout();
    // Draws into a new picture of the block's size and gives it to the sprite; keeps the old
    // picture when no new one can be had.
    void Refresh();

    // The ink the next layout draws in (999: the font's own colours).
    void SetInkColor(uint16_t ink) { m_inkColor = ink; }
    // Scrolling: the line shown at the top.
    void SetFirstVisibleLine(int16_t line) { m_firstVisible = line; }

    int16_t Mode() const { return m_mode; }
    const CCorRect& Rect() const { return m_rect; }
    int16_t PictureId() const { return m_picture; }
    const CTextLineList& Lines() const { return m_lines; }
    // The block's sprite; null when it went (its display dropped it) or none could be made.
    void* Sprite() const;
    int16_t LineGap() const { return m_lineGap; }
    BYTE Justification() const { return m_justification; }
    uint16_t Reserved() const { return m_reserved; }

private:
    void Init(const CTextStyle& style);
    void Layout();
    void Wrap(int wrapWidth);
    // The baseline shift of each line (vertical justification or scrolling).
    std::vector<int> LineShifts() const;
    void Draw(int16_t pictureId, bool clearFirst);
    void DrawBackground(BYTE* bits, int width, int height, int stride);
    void DrawLines();
    std::span<const BYTE> LineText(const TextBlockLine& line) const;
    int16_t TextUnits() const;

    int16_t m_mode = kWrapInBox;
    BYTE m_fillColor = 0;
    uint16_t m_inkColor = 999;
    CTextLineList m_lines;
    CCorStyledString* m_text = nullptr;
    CBitmapFont* m_font = nullptr;
    CCorPoint m_position;
    CCorRect m_rect;
    int16_t m_picture = -1;
    int16_t m_lineGap = 0;
    BYTE m_justification = kJustifyLeft | kJustifyTop;
    HostSprite m_sprite;
    int16_t m_firstVisible = 0;
    int16_t m_marginX = 0;
    int16_t m_marginY = 0;
    int16_t m_frameWidth = 0;
    uint16_t m_frameColor = 999;
    uint16_t m_backgroundId = 0xFFFF;
    int16_t m_backgroundX = 0;
    int16_t m_backgroundY = 0;
    uint16_t m_reserved = 0;
    int16_t m_wrapWidth = -1;
};
