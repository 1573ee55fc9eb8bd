// Windows 95's look, drawn with the static colours of the 256-colour display: 3-D edges,
// push-button faces, the dotted focus rectangle, the dialog font, and the frame, caption bar
// and close box of a window. The one drawing home of the message boxes, the window framework,
// the controls and the dialogs.
#pragma once

#include <string>

#include "platform/core/rect.h"
#include "platform/core/winuser.h"
#include "platform/gdi/text_out.h"

namespace plat::look {

// ---- Colours: the static colours of the 256-colour display --------------------------------------
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(0, 0, 0);
constexpr COLORREF kWindow = RGB(255, 255, 255);
constexpr COLORREF kWindowText = RGB(0, 0, 0);
constexpr COLORREF kSelection = RGB(0, 0, 128);
constexpr COLORREF kSelectionText = RGB(255, 255, 255);
constexpr COLORREF kGrayText = RGB(128, 128, 128);
constexpr COLORREF kCaption = RGB(0, 0, 128);
constexpr COLORREF kInactiveCaption = RGB(128, 128, 128);
constexpr COLORREF kInactiveCaptionText = RGB(192, 192, 192);

// ---- Edges and faces ------------------------------------------------------------------------------
// A solid rectangle; nothing when it is empty.
void Fill(HDC dc, const RECT& r, COLORREF c);
void Fill(HDC dc, LONG left, LONG top, LONG right, LONG bottom, COLORREF c);
// A one-pixel edge: topLeft on the top and left lines, bottomRight on the others, which own the
// top-right and bottom-left corners.
void Edge(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight);
void RaisedEdge(HDC dc, const RECT& r);  // white/black outside, face/grey inside (2 pixels)
void SunkenEdge(HDC dc, const RECT& r);  // grey/white outside, black/face inside (2 pixels)
void EtchedRect(HDC dc, const RECT& r);  // grey line with a white line below and right
// The dotted focus rectangle (every other pixel black).
void FocusRect(HDC dc, const RECT& r);
// A push button's face: raised, or pushed (black and grey frame); a default button has a
// black frame around.
void ButtonFace(HDC dc, const RECT& r, bool isDefault, bool pushed);

// 8-point "MS Sans Serif", regular or bold; the caller deletes it.
HFONT MakeDialogFont(bool bold);

// ---- Frames and captions ----------------------------------------------------------------------------
constexpr int kCaptionHeight = 18;
constexpr int kCloseWidth = 16;
constexpr int kCloseHeight = 14;

// A frame `width` pixels wide along the inside of `all`: one black line, or (2 and more) a
// raised edge with face colour inside it.
void FrameEdges(HDC dc, const RECT& all, int width);
// A caption bar: navy when active, grey when not, with its title in the bold font, left-aligned
// and ending 2 pixels before textRight.
void CaptionBar(HDC dc, const RECT& bar, const std::string& title, HFONT bold, bool active, LONG textRight);
// Where the caption's close box lies in a window `windowWidth` wide with a frame `frame` wide.
RECT CloseBoxAt(int windowWidth, int frame);
// The close box: raised, or pushed (its cross one pixel down and right); a disabled one shows
// its cross embossed in grey.
void CloseBox(HDC dc, const RECT& r, bool pushed, bool enabled);

// ---- A window's own frame, drawn into its non-client area by its styles ------------------------------
// The frame's width: SM_CXFRAME (WS_THICKFRAME), SM_CXDLGFRAME (WS_DLGFRAME or
// WS_EX_DLGMODALFRAME), SM_CXBORDER (WS_BORDER), else 0.
int FrameWidth(HWND hwnd);
// What the frame and caption add to a window's client size.
SIZE NonClientExtra(HWND hwnd);
// Where the close box lies in window coordinates (empty without a caption and system menu).
RECT CloseBoxRect(HWND hwnd);
// Asked of a dialog ("#32770") whose frame is painted: is its close box held down (non-zero)?
inline constexpr UINT kMsgCloseBoxPressed = WM_USER + 0x7F02;
bool CloseBoxPressed(HWND hwnd);
// The frame and caption of a visible window with a frame or WS_CAPTION, drawn through its
// window DC; the close box pushed while its dialog says it is held.
void PaintWindowFrame(HWND hwnd);

}  // namespace plat::look
