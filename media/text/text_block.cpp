#include "media/text/text_block.h"

#include <algorithm>
#include <cstring>

#include "media/text/text_host.h"

namespace {

constexpr int16_t kNoPictureId = 2;  // the engine's empty picture

int16_t Clamp16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

BYTE Normalised(BYTE justification) {
    if ((justification & 0x0F) == 0) justification |= kJustifyLeft;
    if ((justification & 0xF0) == 0) justification |= kJustifyTop;
    return justification;
}

}  // namespace

bool CTextLineList::InsertAt(int16_t index, const TextBlockLine& line) {
    if (index < 0 || index > Length()) return false;
    m_lines.insert(m_lines.begin() + index, line);
    return true;
}

TextBlockLine* CTextLineList::ItemAt(int16_t index) {
    return index < 0 || index >= Length() ? nullptr : &m_lines[static_cast<size_t>(index)];
}

const TextBlockLine* CTextLineList::ItemAt(int16_t index) const {
    return index < 0 || index >= Length() ? nullptr : &m_lines[static_cast<size_t>(index)];
}

CTextBlock::CTextBlock(const CTextStyle& style) {
    Init(style);
}

CTextBlock::CTextBlock(CCorStyledString* text, CBitmapFont* font, CCorPoint position, const CCorRect& box,
                       BYTE justification, uint16_t reserved) {
    CTextStyle style;
    style.text = text;
    style.font = font;
    style.x = position.x;
    style.y = position.y;
    style.box = &box;
    style.justification = justification;
    style.reserved = reserved;
    Init(style);
}

void CTextBlock::Init(const CTextStyle& style) {
    m_text = style.text;
    m_font = style.font;
    m_position = CCorPoint{style.x, style.y};
    m_wrapWidth = style.wrapWidth;
    m_justification = Normalised(style.justification);
    m_reserved = style.reserved;
    m_marginX = style.marginX;
    m_marginY = style.marginY;
    m_frameWidth = std::max<int16_t>(style.frameWidth, 0);
    m_frameColor = style.frameColor;
    m_backgroundId = style.backgroundId;
    m_backgroundX = style.backgroundX;
    m_backgroundY = style.backgroundY;
    m_inkColor = style.inkColor;
    m_fillColor = style.fillColor;
    m_lineGap = style.lineGap != 999 ? style.lineGap : Clamp16((m_font ? m_font->GreatestDescent() : 0) + 3);
    if (style.box) {
        m_mode = kWrapInBox;
        m_rect = CCorRect{0, 0, style.box->Width(), style.box->Height()};
    } else {
        m_mode = style.wrapWidth < 0 ? kSingleLine : kWrapToWidth;
    }
    m_sprite = TextHost().CreateSprite(m_position.x, m_position.y, kNoPictureId);
    Layout();
    Refresh();
}

CTextBlock::~CTextBlock() {
    TextHost().DisposeSprite(m_sprite);
    if (m_picture >= 0) ResItemHost().PurgeResource(m_picture);
}

void* CTextBlock::Sprite() const { return TextHost().SpriteAlive(m_sprite) ? m_sprite.object : nullptr; }

int16_t CTextBlock::TextUnits() const {
    return m_text && m_font ? StyledUnitCount(m_text->Span(), m_font->CodeRange()) : 0;
}

std::span<const BYTE> CTextBlock::LineText(const TextBlockLine& line) const {
    const std::span<const BYTE> text = m_text->Span();
    return text.subspan(std::min(static_cast<size_t>(line.start), text.size()));
}

void CTextBlock::Layout() {
    m_lines.FreeAll();
    if (!m_text || !m_font) {
        if (m_mode != kWrapInBox) m_rect = CCorRect{};
        return;
    }
    switch (m_mode) {
        case kSingleLine: {
            const int16_t width = m_font->TextWidth(m_text->Span(), TextUnits());
            m_rect =
                CCorRect{0, 0, Clamp16(width + 2 * m_marginX), Clamp16(m_font->LineHeight() + 2 * m_marginY)};
            break;
        }
        case kWrapToWidth: {
            Wrap(m_wrapWidth);
            int height = 2 * m_marginY;
            if (const TextBlockLine* last = m_lines.ItemAt(static_cast<int16_t>(m_lines.Length() - 1)))
                height = m_marginY + last->baseline + m_font->MaxDescent(LineText(*last), last->units) + 1;
            m_rect = CCorRect{0, 0, m_wrapWidth, Clamp16(height)};
            break;
        }
        default:
            Wrap(m_rect.Width());
            break;
    }
}

void CTextBlock::Wrap(int wrapWidth) {
    const std::span<const BYTE> text = m_text->Span();
    const int range = m_font->CodeRange();
    const int spacing = m_font->Spacing();
    const int fontBaseline = m_font->Baseline();
    size_t pos = 0;
    int baseline = fontBaseline + m_marginY;
    int shift = 0;  // lines moved down for tall inline pictures
    bool more = true;
    while (more) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        const size_t start = pos;
        int units = 0;
        int running = 0;
        bool sawBlank = false;
        int wordUnits = 0;  // units before the word that runs up to here (0: from the line's start)
        size_t wordAt = start;
        size_t blankAt = 0;
        int blankUnits = 0;
        bool lineEnds = false;
        int lineUnits = 0;
        while (!lineEnds) {
            const size_t size = StyledUnitSize(text, pos, range);
            if (size == 0 || text[pos] == 0) {
                more = false;
                lineEnds = true;
                lineUnits = units;
                if (units == 0) lineUnits = -1;  // the last line is kept only with units
                break;
            }
            const BYTE b = text[pos];
            if (size == 1 && (b == '\r' || b == '\n')) {
                lineUnits = units;
                pos += b == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;  // CR LF is one break
                break;
            }
            running += m_font->SizeOfUnit(text.subspan(pos, size)).width + spacing;
            if (size == 1 && b == ' ') {
                sawBlank = true;
                blankAt = pos;
                blankUnits = units;
            }
            if (running + 2 * m_marginX > wrapWidth) {
                if (sawBlank) {
                    lineUnits = blankUnits;
                    pos = blankAt + 1;
                } else if (size == 1 && wordUnits > 0) {
                    // Words are not split: one that began after an inline picture or space
                    // moves whole to the next line.
                    lineUnits = wordUnits;
                    pos = wordAt;
                } else if (size == 1) {
                    // A word wider than the line stands alone on it and overflows.
                    while (pos < text.size() && StyledUnitSize(text, pos, range) == 1 && text[pos] != 0 &&
                           text[pos] != ' ' && text[pos] != '\r' && text[pos] != '\n') {
                        ++units;
                        ++pos;
                    }
                    lineUnits = units;
                } else if (units == 0) {
                    lineUnits = 1;
                    pos += size;
                } else {
                    lineUnits = units;
                }
                break;
            }
            if (size != 1) {
                // The next character starts a word after this sequence.
                wordUnits = units + 1;
                wordAt = pos + size;
            }
            ++units;
            pos += size;
        }
        if (lineUnits < 0) break;

        // A line with an inline picture taller than the font's ascent moves down with every
        // line after it.
        int above = 0;
        size_t p = start;
        for (int i = 0; i < lineUnits; ++i) {
            const size_t size = StyledUnitSize(text, p, range);
            if (size == 0) break;
            if (IsControlCode(text[p], range))
                above = std::max<int>(above, m_font->SizeOfUnit(text.subspan(p, size)).above);
            p += size;
        }
        shift += std::max(0, above - fontBaseline);

        TextBlockLine line;
        line.start = static_cast<int32_t>(start);
        line.units = Clamp16(lineUnits);
        line.baseline = Clamp16(baseline + shift);
        line.justification = m_justification;
        m_lines.Append(line);
        baseline += m_lineGap + fontBaseline;
        if (pos >= text.size()) more = false;
    }
}

void CTextBlock::Relayout() {
    Layout();
    if (m_mode == kWrapInBox && m_picture >= 0) {
        Draw(m_picture, true);
        TextHost().InvalidateSprite(m_sprite);
        return;
    }
    Refresh();
}

void CTextBlock::Refresh() {
    IResItemHost& pictures = ResItemHost();
    const int width = std::max<int>(1, m_rect.Width());
    const int height = std::max<int>(1, m_rect.Height());
    const int16_t picture = pictures.NewBlankPicture(Clamp16(width), Clamp16(height));
    if (picture < 0) return;
    Draw(picture, false);
    TextHost().ShowSpritePicture(m_sprite, picture);
    if (m_picture >= 0) pictures.PurgeResource(m_picture);
    m_picture = picture;
}

void CTextBlock::Draw(int16_t pictureId, bool clearFirst) {
    const bool background = m_backgroundId != 0xFFFF || m_fillColor != 0 || m_frameWidth > 0;
    if (background || clearFirst) {
        const LockedPicture picture = LockPicture(pictureId);
        if (picture.bits) {
            // Redrawn in place: without a background the old text would stay.
            if (clearFirst && !background)
                std::memset(picture.bits, 0, static_cast<size_t>(picture.height) * picture.stride);
            if (background) DrawBackground(picture.bits, picture.width, picture.height, picture.stride);
        }
        UnlockPicture(picture);
    }
    if (!m_font || !m_text) return;
    m_font->SetTarget(static_cast<uint16_t>(pictureId));
    DrawLines();
}

void CTextBlock::DrawBackground(BYTE* bits, int width, int height, int stride) {
    const int frame = std::min<int>({m_frameWidth, width / 2, height / 2});
    if (m_backgroundId != 0xFFFF) {
        const LockedPicture src = LockPicture(static_cast<int16_t>(m_backgroundId));
        if (src.bits) {
            const int x0 = std::max(0, -m_backgroundX), x1 = std::min<int>(src.width, width - m_backgroundX);
            const int y0 = std::max(0, -m_backgroundY), y1 = std::min<int>(src.height, height - m_backgroundY);
            for (int y = y0; y < y1 && x0 < x1; ++y)
                std::memcpy(bits + static_cast<size_t>(y + m_backgroundY) * stride + m_backgroundX + x0,
                            src.bits + static_cast<size_t>(y) * src.stride + x0, static_cast<size_t>(x1 - x0));
        }
        UnlockPicture(src);
    } else {
        for (int y = frame; y < height - frame; ++y)
            std::memset(bits + static_cast<size_t>(y) * stride + frame, m_fillColor,
                        static_cast<size_t>(width - 2 * frame));
    }
    const auto colour = static_cast<BYTE>(m_frameColor);
    for (int k = 0; k < frame; ++k) {
        for (int x = k; x < width - k; ++x) {
            bits[static_cast<size_t>(k) * stride + x] = colour;
            bits[static_cast<size_t>(height - 1 - k) * stride + x] = colour;
        }
        for (int y = k; y < height - k; ++y) {
            bits[static_cast<size_t>(y) * stride + k] = colour;
            bits[static_cast<size_t>(y) * stride + width - 1 - k] = colour;
        }
    }
}

std::vector<int> CTextBlock::LineShifts() const {
    const int n = m_lines.Length();
    std::vector<int> shifts(static_cast<size_t>(n), 0);
    if (n == 0) return shifts;
    const BYTE vertical = m_justification & 0xF0;
    if (m_mode == kWrapInBox && m_firstVisible == 0 && !(vertical & kJustifyTop)) {
        const TextBlockLine& last = *m_lines.ItemAt(static_cast<int16_t>(n - 1));
        const int lastDescent = m_font->MaxDescent(LineText(last), last.units);
        const int free = std::max(
            0, m_rect.bottom - last.baseline - std::max<int>(lastDescent, m_font->GreatestDescent()) - 1);
        for (int i = 0; i < n; ++i) {
            int& s = shifts[static_cast<size_t>(i)];
            if (vertical & kJustifyBottom) {
                s = free;
            } else if (vertical & kJustifyMiddle) {
                s = free >> 1;
            } else if (vertical & kJustifySpread) {
                s = i == n - 1 ? free : static_cast<int>(i * (static_cast<double>(free) / (n - 1) + 0.5));
            }
        }
    } else if (m_firstVisible > 0) {
        const TextBlockLine* before = m_lines.ItemAt(static_cast<int16_t>(m_firstVisible - 1));
        const int up = before ? m_lineGap - m_marginY + before->baseline : 0;
        for (int& s : shifts) s = -up;
    }
    return shifts;
}

void CTextBlock::DrawLines() {
    const BYTE savedInk = m_font->InkColor();
    if (m_inkColor != 999) m_font->SetInkColor(static_cast<BYTE>(m_inkColor));
    const int width = m_rect.Width();
    if (m_mode == kSingleLine) {
        const int16_t units = TextUnits();
        m_font->MoveTo(0, Clamp16(m_rect.Height() - m_font->MaxDescent(m_text->Span(), units) - 1));
        m_font->DrawUnits(m_text->Span(), units);
    } else {
        const std::vector<int> shifts = LineShifts();
        const BYTE horizontal = m_justification & 0x0F;
        for (int16_t i = std::max<int16_t>(m_firstVisible, 0); i < m_lines.Length(); ++i) {
            const TextBlockLine& line = *m_lines.ItemAt(i);
            const std::span<const BYTE> text = LineText(line);
            const int lineWidth = m_font->TextWidth(text, line.units);
            const int16_t y = Clamp16(line.baseline + shifts[static_cast<size_t>(i)]);
            if (horizontal & kJustifyLeft) {
                m_font->MoveTo(m_marginX, y);
            } else if (horizontal & kJustifyRight) {
                m_font->MoveTo(Clamp16(width - m_marginX - lineWidth), y);
            } else if (horizontal & kJustifyCentre) {
                m_font->MoveTo(Clamp16(width / 2 - lineWidth / 2), y);
            } else {
                m_font->MoveTo(m_marginX, y);
                m_font->DrawJustified(text, line.units, Clamp16(std::max(0, width - 2 * m_marginX)));
                continue;
            }
            m_font->DrawUnits(text, line.units);
        }
    }
    m_font->SetInkColor(savedInk);
}
