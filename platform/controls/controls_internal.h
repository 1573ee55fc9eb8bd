// Shared by the controls and the dialog manager above them only: Windows 95 drawing, control
// state, notifications and the list model of list and combo boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls_api.h"
#include "platform/gdi/look95.h"
#include "platform/gdi/text_out.h"

struct CRuntimeClass;

namespace plat::dlg {

// ---- Windows 95's look: colours, edges, faces and window frames (platform/gdi/look95.h) -------------
using look::kCaption;
using look::kDark;
using look::kFace;
using look::kGrayText;
using look::kHighlight;
using look::kInactiveCaption;
using look::kInactiveCaptionText;
using look::kSelection;
using look::kSelectionText;
using look::kShadow;
using look::kWindow;
using look::kWindowText;
using look::ButtonFace;
using look::CloseBoxRect;
using look::Edge;
using look::EtchedRect;
using look::Fill;
using look::FocusRect;
using look::MakeDialogFont;
using look::NonClientExtra;
using look::PaintWindowFrame;
using look::RaisedEdge;
using look::SunkenEdge;

// ---- The controls' own drawing --------------------------------------------------------------------
// The check box square (13 x 13) and the radio circle (12 x 12) at (x, y).
void CheckBoxGlyph(HDC dc, int x, int y, UINT check, bool pushed, bool enabled);
void RadioGlyph(HDC dc, int x, int y, bool checked, bool pushed, bool enabled);
enum class Arrow { Up, Down, Left, Right };
// A scroll-bar arrow button (or the combo box's button).
void ArrowButton(HDC dc, const RECT& r, Arrow arrow, bool pushed, bool enabled);
void ArrowGlyph(HDC dc, int cx, int cy, Arrow arrow, COLORREF colour);
// Text in the Windows 95 manner: grey and embossed when disabled.
void DrawStateText(HDC dc, const std::string& text, RECT r, UINT format, bool enabled, COLORREF colour);

// ---- The prologue of every control's window procedure ------------------------------------------------
// The class library's creation hook first; on WM_NCCREATE `make` puts the control's new state
// in the window's first extra slot; a window without state gets the default processing; on
// WM_NCDESTROY `destroy` (when given) lets go of what the state holds, then the state is
// deleted. Every other message goes to `handle` with the state.
template <class State>
LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void (*make)(HWND, const CREATESTRUCT*),
                    LRESULT (*handle)(HWND, State*, UINT, WPARAM, LPARAM), void (*destroy)(HWND, State*) = nullptr) {
    LRESULT hooked = 0;
    if (afx::HookCreation(hwnd, msg, wParam, lParam, &hooked)) return hooked;
    if (msg == WM_NCCREATE) {
        make(hwnd, reinterpret_cast<const CREATESTRUCT*>(lParam));
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    State* st = reinterpret_cast<State*>(GetWindowLongPtr(hwnd, 0));
    if (!st) return DefWindowProc(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        if (destroy) destroy(hwnd, st);
        delete st;
        SetWindowLongPtr(hwnd, 0, 0);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    return handle(hwnd, st, msg, wParam, lParam);
}
// The `make` of a control whose state starts as its type's defaults.
template <class State>
void MakeState(HWND hwnd, const CREATESTRUCT*) {
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new State));
}

// ---- Painting -----------------------------------------------------------------------------------
// Marks the whole control for repainting; the control paints its background itself.
void Redraw(HWND hwnd);
// A control's WM_PAINT: `paint` draws between BeginPaint and EndPaint; answers 0.
LRESULT PaintNow(HWND hwnd, void (*paint)(HWND, HDC));

// ---- Fonts --------------------------------------------------------------------------------------
// The control's font (WM_SETFONT), else the 8-point dialog font.
HFONT ControlFont(HWND hwnd);
// Average character width and height of a font: a dialog's base units.
SIZE BaseUnits(HFONT font);
int TextHeight(HDC dc);
int TextWidth(HDC dc, const std::string& text);

// ---- Control helpers ----------------------------------------------------------------------------
// Per-window state of a control class, kept in the window's first extra slot.
template <class T>
T* StateOf(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}
// WM_COMMAND (id, code) to the parent.
void Notify(HWND hwnd, UINT code);
// The brush and DC colours the parent chooses (WM_CTLCOLORxxx), with the class defaults.
HBRUSH ControlColours(HWND hwnd, HDC dc, UINT ctlColorMessage);
// The text of a window as a string.
std::string WindowText(HWND hwnd);
// The character that follows '&' (upper-cased), 0 when none.
uint8_t Mnemonic(const std::string& text);
bool HasFocus(HWND hwnd);
// A control got the focus: it sends kMsgControlFocus to the dialog around it, which updates
// its default push button.
void ControlGotFocus(HWND control);
// The dialog (DefDlgProc window) a control belongs to, the outermost one for nested pages.
HWND OwningDialog(HWND hwnd);
bool IsDialogWindow(HWND hwnd);
// The class of a window, upper-cased.
std::string ClassOf(HWND hwnd);
std::string ToUpperName(const char* name);

// ---- Scroll-bar geometry shared by the scroll-bar control and the list box -----------------------
struct ScrollModel {
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
    bool vertical = false;
    bool enabled = true;
    // Parts of the bar in r: the two arrow buttons and the thumb (empty when it has no room).
    void Layout(const RECT& r, RECT& first, RECT& second, RECT& thumb) const;
    int MaxPos() const;
    // The position a thumb dragged to a pixel offset along the track stands for.
    int PosFromThumb(const RECT& r, int offset) const;
};
enum class ScrollPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };
void PaintScrollBar(HDC dc, const RECT& r, const ScrollModel& m, ScrollPart pressed, bool focused);
ScrollPart HitScrollBar(const RECT& r, const ScrollModel& m, POINT p);

// ---- The list of list boxes and combo boxes ------------------------------------------------------
struct ListItem {
    std::string text;
    LPARAM data = 0;
    bool selected = false;
};
struct ListModel {
    std::vector<ListItem> items;
    bool sorted = false;
    int Add(const std::string& text);  // sorted by Swedish collation when sorted, else at the end
    int Insert(int index, const std::string& text);  // -1: at the end
    bool Delete(int index);
    // Items beginning with text (prefix) or equal to it (exact), case-insensitively, searching
    // after `after` (-1: from the start) and wrapping round; -1 when none.
    int Find(int after, const std::string& text, bool exact) const;
    int Count() const { return static_cast<int>(items.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
};

// ---- Window classes ---------------------------------------------------------------------------------
// A control's window class and the class library's wrapper of it, as the control's own file
// describes them; RegisterControlClasses registers each window class (one pointer of extra
// bytes for the control's state) and its wrapper (plat::afx::RegisterWrapperClass).
struct ControlClass {
    LPCSTR name;
    WNDPROC proc;
    UINT style;
    LPCSTR cursor;
    CRuntimeClass* wrapper;  // null: temporary objects of the window are plain CWnds
};
extern const ControlClass kButtonClass;
extern const ControlClass kStaticClass;
extern const ControlClass kEditClass;
extern const ControlClass kListBoxClass;
extern const ControlClass kComboListBoxClass;
extern const ControlClass kComboBoxClass;
extern const ControlClass kScrollBarClass;
extern const ControlClass kTabControlClass;
inline constexpr const char* kComboListClass = "ComboLBox";
inline constexpr const char* kDialogClass = "#32770";

// Messages of our own between the controls and to the dialog manager.
// The dropped list closed: wParam 1 = chosen, 0 = cancelled.
inline constexpr UINT kMsgComboListDone = WM_USER + 0x7F00;
// To the outermost dialog around a control that got the focus: wParam the control.
inline constexpr UINT kMsgControlFocus = WM_USER + 0x7F01;
// To a dialog: is its close box held down (non-zero)?
using look::kMsgCloseBoxPressed;

// The dialog background brush and text colour (CWinApp::SetDialogBkColor; face and black
// unless set).
COLORREF DialogBackground();
COLORREF DialogTextColour();
// A solid brush of a colour, kept for reuse (never delete it).
HBRUSH CachedBrush(COLORREF colour);

// The clipboard's text (empty when none).
std::string ClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace plat::dlg
