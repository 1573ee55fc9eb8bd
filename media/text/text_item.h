// CText: a text shown on the game screen in one of the numbered fonts. The text is
// laid out in a box (word wrap, line breaks, alignment), drawn by the GDI into a one-bit
// bitmap and turned into an 8-bit picture of two palette colours (three with the marker),
// which is drawn into a frame surface like any sprite. A range of words can be drawn in the
// bold twin of the font (the font numbered one higher), a leading marker glyph (0x1F) can be
// drawn in red, and the item answers which line and word lie under a screen point.
//
// Words are runs between blanks. Word numbers count over the whole text from 1; with the
// marker, the marker is word 0 and the text's words follow from 1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "media/res/sprite.h"
#include "platform/afx/afx_string.h"
#include "platform/afx/object.h"
#include "platform/core/wintypes.h"

class CDC;
class CDibG;

// One laid-out line: its own copy of the text, its top left in box coordinates and the extent
// of its text in the item's font.
struct TextLine {
    TextLine() = default;
    // Frees the rest of the list iteratively, so a long text cannot exhaust the stack.
    ~TextLine();
    TextLine(const TextLine&) = delete;
    TextLine& operator=(const TextLine&) = delete;

    std::string text;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<TextLine> next;
};

class CText : public CObject {
    DECLARE_DYNAMIC(CText)
public:
    // Alignment flags; 0 centres every line and the block.
    enum : uint16_t {
        kAlignBottom = 0x0001,
        kAlignTop = 0x0002,  // wins over kAlignBottom
        kAlignRight = 0x0100,
        kAlignLeft = 0x0200,  // wins over kAlignRight; with the marker, later lines indent by its width
    };
    // Background modes.
    enum : uint16_t { kModeOpaque = 0, kModeTransparent = 4 };
    static constexpr char kMarkerChar = '\x1F';
    // The marker glyph is drawn this many rows below its line's top.
    static constexpr int kMarkerDrop = 5;

    // Copies the host's current text style and renders the text (null: empty) in a box of
    // width x height whose top left is at (x, y) on the screen.
    CText(LPCSTR text, int32_t width, int32_t height, int32_t x, int32_t y, uint16_t alignment);
    // Removes the item's scan targets through the text host, frees the picture and the lines.
    ~CText() override;

    // Lays out and renders text (null: empty) into a new picture of the size, the words
    // first..last in the bold twin (both 0: none). FALSE, with no picture and no lines, when
    // the size is outside 1..kMaxSpriteSide or the pixels cannot be had; FALSE, with a blank
    // picture, when the GDI bitmap cannot be made.
    BOOL Render(LPCSTR text, SIZE size, int32_t firstWord, int32_t lastWord);
    BOOL SetText(LPCSTR text);
    // Colour numbers of the engine's colour table, through the text host.
    BOOL SetColors(int16_t foreground, int16_t background);
    BOOL Rerender(int32_t firstWord, int32_t lastWord);
    // Sets the marker flag and renders the current text again (no emphasis), so the picture
    // and the hit tests agree.
    BOOL SetMarker(BOOL on);

    // Draws the picture at (x, y) into the surface, clipped to clip (null: the whole surface).
    void Draw(CDibG& surface, const RECT* clip);

    // The line under a screen point, or null. dc is any DC to measure with (null: a memory DC).
    const TextLine* LineAtPoint(CDC* dc, POINT point) const;
    // The word number under a screen point. Between words: 0, or -1 with the marker; -1 off
    // every line.
    int32_t WordAtPoint(CDC* dc, POINT point) const;
    // Runs of characters other than blank, CR and LF in the text.
    int32_t TallyWords() const;
    int32_t NumLines() const;

    const CString& Text() const { return m_text; }
    CSprite& Picture() { return m_picture; }
    const CSprite& Picture() const { return m_picture; }
    int32_t FontNumber() const { return m_fontNumber; }
    COLORREF Foreground() const { return m_foreground; }
    COLORREF Background() const { return m_background; }
    uint16_t Mode() const { return m_mode; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t X() const { return m_x; }
    int32_t Y() const { return m_y; }
    const RECT& MarkerRect() const { return m_markerRect; }
    const RECT& TextBounds() const { return m_textBounds; }
    uint16_t Alignment() const { return m_alignment; }
    BOOL HasMarker() const { return m_marker; }
    int32_t LineTotal() const { return m_lineTotal; }
    const TextLine* Lines() const { return m_lines.get(); }

private:
    // Lays out text (the marker prepended when it is on) in box and draws it into dc, whose
    // selected font is the item's.
    void DrawLines(HDC dc, const std::string& text, const RECT& box, uint16_t alignment, int32_t firstWord,
                   int32_t lastWord);
    // Splits text into the line list; false, with an empty list, when a record cannot be had.
    bool BreakLines(HDC dc, std::string_view text, int32_t boxWidth);
    void FreeLines();

    CString m_text;
    CSprite m_picture{-1};
    int32_t m_fontNumber = 0;
    COLORREF m_foreground = 0;
    COLORREF m_background = 0;
    uint16_t m_mode = kModeTransparent;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    RECT m_markerRect{};
    RECT m_textBounds{};
    uint16_t m_alignment = 0;
    BOOL m_marker = FALSE;
    int32_t m_lineTotal = 0;
    std::unique_ptr<TextLine> m_lines;
};

// Tests: after n more line records, the records fail as if memory had run out (-1: never).
void SetTextLineRecordLimit(int n);
