// The look of a message box: Windows 95's raised frame, caption bar, close box and push
// buttons (platform/gdi/look95.h) and the four icons, drawn in code with static colours only.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/afx/message_box.h"
#include "platform/core/display.h"
#include "platform/gdi/look95.h"
#include "platform/msgbox/msgbox_internal.h"

namespace plat::msgbox {
namespace {

using look::kDark;

void DrawButton(const Box& box, HDC dc, size_t index) {
    const Button& b = box.buttons[index];
    const bool isDefault = static_cast<int>(index) == box.focus;
    const bool pushed = static_cast<int>(index) == box.pressed && box.pressedInside;
    look::ButtonFace(dc, b.rect, isDefault, pushed);
    RECT text = b.rect;
    if (pushed) text = RECT{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1};
    SelectObject(dc, box.font);
    SetTextColor(dc, kDark);
    DrawText(dc, b.label, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (isDefault) look::FocusRect(dc, Inset(b.rect, 4));
}

}  // namespace

void LayOut(Box& box) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, box.font);
    RECT text{0, 0, kMaxTextWidth, 0};
    DrawText(dc, box.text.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    const int textWidth = text.right;
    const int textHeight = box.text.empty() ? 0 : text.bottom;
    SelectObject(dc, box.bold);
    SIZE caption;
    GetTextExtentPoint32(dc, box.caption.c_str(), static_cast<int>(box.caption.size()), &caption);
    SelectObject(dc, old);
    DeleteDC(dc);

    const int iconPart = box.icon ? kIconSize + kMargin : 0;
    const int contentWidth = iconPart + textWidth;
    const int contentHeight = std::max(textHeight, box.icon ? kIconSize : 0);
    const int count = static_cast<int>(box.buttons.size());
    const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int captionWidth = 3 + caption.cx + 8 + kCloseWidth + 2;
    int clientWidth = std::max({contentWidth + 2 * kMargin, buttonsWidth + 2 * kMargin, captionWidth});
    clientWidth = std::min(clientWidth, kScreenWidth - 2 * kFrame);

    box.width = clientWidth + 2 * kFrame;
    const int contentTop = kFrame + kCaption + kMargin;
    box.iconAt = POINT{kFrame + kMargin, contentTop};
    const int textX = kFrame + kMargin + iconPart;
    const int textY = contentTop + (box.icon && textHeight < kIconSize ? (kIconSize - textHeight) / 2 : 0);
    box.textRect = RECT{textX, textY, textX + kMaxTextWidth, textY + textHeight};
    const int buttonsTop = contentTop + contentHeight + kButtonsAbove;
    int x = kFrame + (clientWidth - buttonsWidth) / 2;
    for (Button& b : box.buttons) {
        b.rect = RECT{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight};
        x += kButtonWidth + kButtonGap;
    }
    box.height = buttonsTop + kButtonHeight + kMargin + kFrame;
    box.closeRect = look::CloseBoxAt(box.width, kFrame);
}

void Paint(const Box& box, HDC dc) {
    const RECT all{0, 0, box.width, box.height};
    look::FrameEdges(dc, all, kFrame);
    FillSolid(dc, Inset(all, kFrame), look::kFace);
    const RECT bar{kFrame, kFrame, box.width - kFrame, kFrame + kCaption};
    look::CaptionBar(dc, bar, box.caption, box.bold, true, box.closeRect.left);
    // Without a cancelling answer the close box is there but grey, as Windows shows it.
    look::CloseBox(dc, box.closeRect, box.closePressed && box.closeInside, box.escapeAnswer != 0);

    if (box.icon) DrawIcon(dc, box.iconAt.x, box.iconAt.y, box.icon);
    SelectObject(dc, box.font);
    SetTextColor(dc, kDark);
    RECT text = box.textRect;
    DrawText(dc, box.text.c_str(), -1, &text,
             DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP);
    for (size_t i = 0; i < box.buttons.size(); ++i) DrawButton(box, dc, i);
}

namespace {

// Colours of the icons, by the letters of their pictures.
enum IconColour : uint8_t { kNone, kBlack, kWhite, kGrey, kRed, kDarkRed, kYellow, kBlue, kColourCount };
constexpr COLORREF kIconColours[kColourCount] = {0,
                                                 RGB(0, 0, 0),
                                                 RGB(255, 255, 255),
                                                 RGB(128, 128, 128),
                                                 RGB(255, 0, 0),
                                                 RGB(128, 0, 0),
                                                 RGB(255, 255, 0),
                                                 RGB(0, 0, 255)};

using Picture = std::array<std::array<uint8_t, kIconSize>, kIconSize>;

// Fills a shape (inside(px, py) at pixel centres) with an outline where it meets the outside,
// over a grey shadow two pixels down and right.
template <class Inside>
void Shape(Picture& p, Inside inside, IconColour fill, IconColour outline) {
    auto in = [&](int x, int y) { return inside(x + 0.5, y + 0.5); };
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x)
            if (!in(x, y) && in(x - 2, y - 2)) p[y][x] = kGrey;
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            if (!in(x, y)) continue;
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            p[y][x] = edge ? outline : fill;
        }
}

// Draws a picture of 'X' pixels at (left, top) in one colour.
void Glyph(Picture& p, int left, int top, std::initializer_list<const char*> rows, IconColour c) {
    int y = top;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x)
            if (row[x] == 'X' && y >= 0 && y < kIconSize && left + x >= 0 && left + x < kIconSize)
                p[y][left + x] = c;
        ++y;
    }
}

bool InBubble(double px, double py) {
    const double ex = (px - 16.0) / 14.5, ey = (py - 13.5) / 12.0;
    if (ex * ex + ey * ey <= 1.0) return true;
    // The tail: a triangle from the bubble's lower left down to a point.
    auto side = [](double ax, double ay, double bx, double by, double x, double y) {
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    };
    const double s1 = side(8, 21, 14, 24, px, py), s2 = side(14, 24, 5, 30.5, px, py),
                 s3 = side(5, 30.5, 8, 21, px, py);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

Picture MakePicture(UINT icon) {
    Picture p{};
    switch (icon) {
        case MB_ICONHAND:
            Shape(
                p, [](double x, double y) { return std::hypot(x - 15.0, y - 15.0) <= 13.6; }, kRed, kDarkRed);
            for (int y = 0; y < kIconSize; ++y)
                for (int x = 0; x < kIconSize; ++x) {
                    const double dx = x + 0.5 - 15.0, dy = y + 0.5 - 15.0;
                    if (std::abs(dx) <= 6.6 && std::abs(dy) <= 6.6 &&
                        (std::abs(dx - dy) <= 1.6 || std::abs(dx + dy) <= 1.6))
                        p[y][x] = kWhite;
                }
            break;
        case MB_ICONEXCLAMATION:
            Shape(
                p,
                [](double x, double y) {
                    return y >= 1.5 && y <= 28.5 && std::abs(x - 15.0) <= (y - 1.0) * 14.0 / 27.5;
                },
                kYellow, kBlack);
            Glyph(p, 13, 9,
                  {"XXXX", "XXXX", "XXXX", "XXXX", "XXXX", "XXXX", "XXXX", " XX ", " XX ", " XX ", "    ",
                   "    ", " XX ", "XXXX", "XXXX", " XX "},
                  kBlack);
            break;
        case MB_ICONASTERISK:
            Shape(p, InBubble, kWhite, kBlack);
            Glyph(p, 12, 4,
                  {"  XXX  ", "  XXXX ", "  XXX  ", "       ", " XXXX  ", "XXXXX  ", "  XXX  ", "  XXX  ",
                   "  XXX  ", "  XXX  ", "  XXX  ", "  XXX  ", "  XXX  ", " XXXXX ", "XXXXXXX"},
                  kBlue);
            break;
        case MB_ICONQUESTION:
            Shape(p, InBubble, kWhite, kBlack);
            Glyph(p, 11, 5,
                  {"  XXXXX   ", " XXXXXXX  ", "XXX   XXX ", "XXX   XXX ", "      XXX ", "     XXX  ",
                   "    XXX   ", "    XXX   ", "    XXX   ", "          ", "    XXX   ", "    XXX   ",
                   "    XXX   "},
                  kBlue);
            break;
        default:
            break;
    }
    return p;
}

}  // namespace

void DrawIcon(HDC dc, int x, int y, UINT icon) {
    const Picture p = MakePicture(icon);
    std::array<uint8_t, kIconSize * kIconSize> mask;
    for (int c = kBlack; c < kColourCount; ++c) {
        bool any = false;
        for (int row = 0; row < kIconSize; ++row)
            for (int col = 0; col < kIconSize; ++col) {
                const bool on = p[row][col] == c;
                mask[static_cast<size_t>(row * kIconSize + col)] = on ? 1 : 0;
                any |= on;
            }
        if (any) DrawMask(dc, x, y, kIconSize, kIconSize, mask.data(), kIconSize, kIconColours[c]);
    }
}

}  // namespace plat::msgbox
