#include "app/text_entry_field.h"

#include <algorithm>

#include "app/key_translate.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

uint32_t g_lastCaretBlink = 0;

namespace {

constexpr int16_t kEmptyPicture = 2;

// A byte that would begin a control sequence of the styled text is never inserted as a character.
constexpr BYTE kFirstControlByte = 0xFD;

}  // namespace

CTextEntryField::CTextEntryField(CBitmapFont* font, int16_t caretPictureId, CCorPoint topLeft,
                                 CCorPoint bottomRight, const std::vector<uint16_t>* allowed,
                                 uint16_t maxLength, bool ownsFontAndList)
    : m_caretPictureId(caretPictureId),
      m_maxLength(maxLength),
      m_ownsFontAndList(ownsFontAndList),
      m_font(font),
      m_allowed(allowed) {
    m_rect = CCorRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    m_caretSprite = CreateSprite(topLeft.x, static_cast<int16_t>(topLeft.y - 1), caretPictureId);
    const CCorRect box{0, 0, std::max<int16_t>(0, m_rect.Width()), std::max<int16_t>(0, m_rect.Height())};
    m_block = std::make_unique<CTextBlock>(&m_text, m_font, topLeft, box, BYTE{kJustifyLeft | kJustifyTop}, 0);
    m_blinkEnabled = 1;
}

CTextEntryField::~CTextEntryField() {
    DisposeSprite(m_caretSprite);
    m_block.reset();
    if (m_ownsFontAndList) {
        delete m_font;
        delete m_allowed;
    }
}

bool CTextEntryField::HitTest(const void* sprite, int16_t /*id*/) const {
    return m_block && m_block->HasSprite(sprite);
}

bool CTextEntryField::Allowed(BYTE c) const {
    if (!m_allowed || c == 0 || c >= kFirstControlByte) return false;
    return std::find(m_allowed->begin(), m_allowed->end(), uint16_t{c}) != m_allowed->end();
}

void CTextEntryField::OnKey(UINT virtualKey) {
    m_blinkEnabled = 0;
    QueueSpriteShowImage(m_caretSprite, m_caretPictureId);
    m_caretShown = true;
    WaitSpriteDone(m_caretSprite);
    switch (virtualKey) {
        case 8: Backspace(); break;
        case 46: DeleteAtCaret(); break;
        case 37: MoveCaret(-1); break;
        case 39: MoveCaret(+1); break;
        default: {
            const BYTE c = TranslateVirtualKey(virtualKey, 1, 1);
            if (Allowed(c)) InsertChar(c);
            break;
        }
    }
    m_blinkEnabled = 1;
}

void CTextEntryField::DropLeadingBlanks() {
    while (m_text.Length() > 0 && m_text.Bytes()[0] == ' ') m_text.Delete(0, 1);
}

void CTextEntryField::Backspace() {
    if (m_caret == 0) return;
    m_text.Delete(static_cast<int16_t>(m_caret - 1), 1);
    DropLeadingBlanks();
    m_block->Relayout();
    MoveCaret(-1);
}

void CTextEntryField::DeleteAtCaret() {
    if (m_caret >= m_text.Length()) return;  // nothing after the caret
    m_text.Delete(static_cast<int16_t>(m_caret), 1);
    DropLeadingBlanks();
    m_block->Relayout();
}

void CTextEntryField::InsertChar(BYTE c) {
    if (m_text.Length() >= m_maxLength) return;
    if (c == ' ' && m_caret == 0) return;
    m_text.Insert(&c, 1, static_cast<int16_t>(m_caret));
    const int16_t units = static_cast<int16_t>(m_text.Length());
    if (m_font && m_font->TextWidth(m_text.Span(), units) > m_rect.Width()) {
        m_text.Delete(static_cast<int16_t>(m_caret), 1);
        return;
    }
    m_block->Relayout();
    MoveCaret(+1);
}

void CTextEntryField::MoveCaret(int delta) {
    const int next = m_caret + delta;
    if (next < 0 || next > m_text.Length() || next == m_caret) return;
    const int16_t width = next > 0 && m_font ? m_font->TextWidth(m_text.Span(), static_cast<int16_t>(next)) : 0;
    MoveSpriteInPicture(m_caretSprite, static_cast<int16_t>(m_rect.left + width), static_cast<int16_t>(m_rect.top - 1));
    WaitSpriteDone(m_caretSprite);
    m_caret = static_cast<uint16_t>(next);
}

void CTextEntryField::Blink() {
    if (!m_blinkEnabled) return;
    const uint32_t now = GetEngineTicks();
    if (now - g_lastCaretBlink <= 60) return;
    m_blinkEnabled = 0;
    m_caretShown = !m_caretShown;
    QueueSpriteShowImage(m_caretSprite, m_caretShown ? m_caretPictureId : kEmptyPicture);
    WaitSpriteDone(m_caretSprite);
    g_lastCaretBlink = now;
    m_blinkEnabled = 1;
}
