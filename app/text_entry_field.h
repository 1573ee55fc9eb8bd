// CTextEntryField: a one-line editor drawn with a bitmap font on the game picture: a text
// block showing the typed text, a blinking caret sprite, the list of characters it accepts, a
// character limit and the block's width as a pixel limit. Its owner feeds it virtual keys;
// the field turns them into characters with TranslateVirtualKey.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/text/text_block.h"
#include "media/util/cor_geometry.h"

class CCorAnim;

// The tick of the last caret toggle, shared by every field and the chooser's blink.
extern uint32_t g_lastCaretBlink;

class CTextEntryField {
public:
    // The text block lies at the rectangle's top-left, as wide and high as the rectangle; the
    // caret sprite starts at (left, top - 1). Font and list stay the caller's unless ownsFontAndList.
    CTextEntryField(CBitmapFont* font, int16_t caretPictureId, CCorPoint topLeft, CCorPoint bottomRight,
                    const std::vector<uint16_t>* allowed, uint16_t maxLength, bool ownsFontAndList = false);
    ~CTextEntryField();
    CTextEntryField(const CTextEntryField&) = delete;
    CTextEntryField& operator=(const CTextEntryField&) = delete;

    // Backspace (8), Delete (46), left (37), right (39), or a key whose character is allowed.
    void OnKey(UINT virtualKey);
    void GetText(CCorString& out) const { out.AssignString(m_text); }
    int16_t Length() const { return static_cast<int16_t>(m_text.Length()); }
    // Whether the text block draws into that sprite.
    bool HitTest(const void* sprite, int16_t id) const;
    // Toggles the caret once more than 60 ticks have passed since the last toggle.
    void Blink();
    void EnableBlink() { m_blinkEnabled = 1; }
    void StopBlink() { m_blinkEnabled = 0; }

    bool BlinkEnabled() const { return m_blinkEnabled != 0; }
    uint16_t CaretPosition() const { return m_caret; }
    CCorAnim* CaretSprite() const { return m_caretSprite; }
    const CTextBlock* Block() const { return m_block.get(); }
    const CCorStyledString& Text() const { return m_text; }

private:
    void Backspace();
    void DeleteAtCaret();
    void InsertChar(BYTE c);
    void DropLeadingBlanks();
    void MoveCaret(int delta);
    bool Allowed(BYTE c) const;

    CCorAnim* m_caretSprite = nullptr;
    int16_t m_caretPictureId = 0;
    uint16_t m_maxLength = 0;
    uint16_t m_caret = 0;
    uint16_t m_blinkEnabled = 0;
    bool m_caretShown = true;
    bool m_ownsFontAndList = false;
    CBitmapFont* m_font = nullptr;
    std::unique_ptr<CTextBlock> m_block;
    CCorStyledString m_text;
    const std::vector<uint16_t>* m_allowed = nullptr;
    CCorRect m_rect;
};
