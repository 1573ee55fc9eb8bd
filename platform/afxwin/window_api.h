// Windows' user-interface names beyond platform/core/winuser.h that the window framework and
// everything built on it share: messages, window and dialog styles, the values of the standard
// controls (styles, messages, notifications), system menu commands; and the calls the framework
// implements: menus (kept, never shown), the calls on a window's child controls, the scroll-bar
// calls on a scroll-bar control and memory handles. UI thread only; text is Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/wintypes.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using ULONG_PTR = uintptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// ---- Messages not in wintypes.h --------------------------------------------------------------
inline constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_ENTERIDLE = 0x0121;
inline constexpr UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_UNDO = 0x0304;
inline constexpr UINT WM_INITIALUPDATE = 0x0364;  // The class library's own.
inline constexpr UINT DM_GETDEFID = WM_USER + 0;  // The dialog manager's.
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr UINT DM_REPOSITION = WM_USER + 2;
inline constexpr WORD DC_HASDEFID = 0x534B;

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// A window class that gets double clicks.
inline constexpr UINT CS_DBLCLKS = 0x0008;

// ---- Window styles of dialogs ------------------------------------------------------------------
inline constexpr DWORD DS_ABSALIGN = 0x0001;
inline constexpr DWORD DS_SYSMODAL = 0x0002;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_FIXEDSYS = 0x0008;
inline constexpr DWORD DS_NOFAILCREATE = 0x0010;
inline constexpr DWORD DS_LOCALEDIT = 0x0020;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_NOIDLEMSG = 0x0100;
inline constexpr DWORD DS_SETFOREGROUND = 0x0200;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_CENTERMOUSE = 0x1000;
inline constexpr DWORD DS_CONTEXTHELP = 0x2000;
inline constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;

inline constexpr UINT DLGC_WANTARROWS = 0x0001;
inline constexpr UINT DLGC_WANTTAB = 0x0002;
inline constexpr UINT DLGC_WANTALLKEYS = 0x0004;
inline constexpr UINT DLGC_WANTMESSAGE = 0x0004;
inline constexpr UINT DLGC_HASSETSEL = 0x0008;
inline constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr UINT DLGC_RADIOBUTTON = 0x0040;
inline constexpr UINT DLGC_WANTCHARS = 0x0080;
inline constexpr UINT DLGC_STATIC = 0x0100;
inline constexpr UINT DLGC_BUTTON = 0x2000;

inline constexpr int IDHELP = 9;
// Dialog window extra values.
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = static_cast<int>(sizeof(LONG_PTR));
inline constexpr int DWLP_USER = 2 * static_cast<int>(sizeof(LONG_PTR));
inline constexpr int DWL_MSGRESULT = DWLP_MSGRESULT;
inline constexpr int DWL_DLGPROC = DWLP_DLGPROC;
inline constexpr int DWL_USER = DWLP_USER;

// ---- Buttons -----------------------------------------------------------------------------------
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_CHECKBOX = 0x2;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x3;
inline constexpr DWORD BS_RADIOBUTTON = 0x4;
inline constexpr DWORD BS_3STATE = 0x5;
inline constexpr DWORD BS_AUTO3STATE = 0x6;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_USERBUTTON = 0x8;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD BS_LEFTTEXT = 0x20;
inline constexpr DWORD BS_LEFT = 0x100;
inline constexpr DWORD BS_RIGHT = 0x200;
inline constexpr DWORD BS_CENTER = 0x300;
inline constexpr DWORD BS_PUSHLIKE = 0x1000;
inline constexpr DWORD BS_MULTILINE = 0x2000;
inline constexpr DWORD BS_NOTIFY = 0x4000;
inline constexpr DWORD BS_FLAT = 0x8000;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;
inline constexpr UINT BST_PUSHED = 4;
inline constexpr UINT BST_FOCUS = 8;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BN_PAINT = 1;
inline constexpr UINT BN_HILITE = 2;
inline constexpr UINT BN_UNHILITE = 3;
inline constexpr UINT BN_DISABLE = 4;
inline constexpr UINT BN_DOUBLECLICKED = 5;
inline constexpr UINT BN_SETFOCUS = 6;
inline constexpr UINT BN_KILLFOCUS = 7;

// ---- Statics -----------------------------------------------------------------------------------
inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_ICON = 0x3;
inline constexpr DWORD SS_BLACKRECT = 0x4;
inline constexpr DWORD SS_GRAYRECT = 0x5;
inline constexpr DWORD SS_WHITERECT = 0x6;
inline constexpr DWORD SS_BLACKFRAME = 0x7;
inline constexpr DWORD SS_GRAYFRAME = 0x8;
inline constexpr DWORD SS_WHITEFRAME = 0x9;
inline constexpr DWORD SS_SIMPLE = 0xB;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0xC;
inline constexpr DWORD SS_OWNERDRAW = 0xD;
inline constexpr DWORD SS_BITMAP = 0xE;
inline constexpr DWORD SS_ETCHEDHORZ = 0x10;
inline constexpr DWORD SS_ETCHEDVERT = 0x11;
inline constexpr DWORD SS_ETCHEDFRAME = 0x12;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_NOPREFIX = 0x80;
inline constexpr DWORD SS_NOTIFY = 0x100;
inline constexpr DWORD SS_CENTERIMAGE = 0x200;
inline constexpr DWORD SS_SUNKEN = 0x1000;
inline constexpr UINT STM_SETICON = 0x0170;
inline constexpr UINT STM_GETICON = 0x0171;
inline constexpr UINT STM_SETIMAGE = 0x0172;
inline constexpr UINT STM_GETIMAGE = 0x0173;
inline constexpr UINT STN_CLICKED = 0;
inline constexpr UINT STN_DBLCLK = 1;
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;

// ---- Edits -------------------------------------------------------------------------------------
inline constexpr DWORD ES_LEFT = 0x0;
inline constexpr DWORD ES_CENTER = 0x1;
inline constexpr DWORD ES_RIGHT = 0x2;
inline constexpr DWORD ES_MULTILINE = 0x4;
inline constexpr DWORD ES_UPPERCASE = 0x8;
inline constexpr DWORD ES_LOWERCASE = 0x10;
inline constexpr DWORD ES_PASSWORD = 0x20;
inline constexpr DWORD ES_AUTOVSCROLL = 0x40;
inline constexpr DWORD ES_AUTOHSCROLL = 0x80;
inline constexpr DWORD ES_NOHIDESEL = 0x100;
inline constexpr DWORD ES_OEMCONVERT = 0x400;
inline constexpr DWORD ES_READONLY = 0x800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;
inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_GETRECT = 0x00B2;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_GETLINE = 0x00C4;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = 0x00C5;
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EN_SETFOCUS = 0x0100;
inline constexpr UINT EN_KILLFOCUS = 0x0200;
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT EN_UPDATE = 0x0400;
inline constexpr UINT EN_ERRSPACE = 0x0500;
inline constexpr UINT EN_MAXTEXT = 0x0501;
inline constexpr UINT EN_HSCROLL = 0x0601;

// ---- List boxes --------------------------------------------------------------------------------
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_NOREDRAW = 0x0004;
inline constexpr DWORD LBS_MULTIPLESEL = 0x0008;
inline constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD LBS_HASSTRINGS = 0x0040;
inline constexpr DWORD LBS_USETABSTOPS = 0x0080;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
inline constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
inline constexpr DWORD LBS_NOSEL = 0x4000;
inline constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;
inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETSEL = 0x0185;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETSEL = 0x0187;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_SELECTSTRING = 0x018C;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_FINDSTRING = 0x018F;
inline constexpr UINT LB_GETSELCOUNT = 0x0190;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_SETCARETINDEX = 0x019E;
inline constexpr UINT LB_GETCARETINDEX = 0x019F;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
inline constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr int LB_OKAY = 0;
inline constexpr int LB_ERR = -1;
inline constexpr int LB_ERRSPACE = -2;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT LBN_SELCANCEL = 3;
inline constexpr UINT LBN_SETFOCUS = 4;
inline constexpr UINT LBN_KILLFOCUS = 5;
constexpr UINT LBN_ERRSPACE = static_cast<UINT>(-2);

// ---- Combo boxes -------------------------------------------------------------------------------
inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_OEMCONVERT = 0x0080;
inline constexpr DWORD CBS_SORT = 0x0100;
inline constexpr DWORD CBS_HASSTRINGS = 0x0200;
inline constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;
inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_SETEDITSEL = 0x0142;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;
inline constexpr UINT CB_SELECTSTRING = 0x014D;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
inline constexpr int CB_OKAY = 0;
inline constexpr int CB_ERR = -1;
inline constexpr int CB_ERRSPACE = -2;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_DBLCLK = 2;
inline constexpr UINT CBN_SETFOCUS = 3;
inline constexpr UINT CBN_KILLFOCUS = 4;
inline constexpr UINT CBN_EDITCHANGE = 5;
inline constexpr UINT CBN_EDITUPDATE = 6;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT CBN_CLOSEUP = 8;
inline constexpr UINT CBN_SELENDOK = 9;
inline constexpr UINT CBN_SELENDCANCEL = 10;
constexpr UINT CBN_ERRSPACE = static_cast<UINT>(-1);

// ---- Scroll bars -------------------------------------------------------------------------------
inline constexpr DWORD SBS_HORZ = 0x0;
inline constexpr DWORD SBS_VERT = 0x1;
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;
inline constexpr UINT SB_LINEUP = 0;
inline constexpr UINT SB_LINELEFT = 0;
inline constexpr UINT SB_LINEDOWN = 1;
inline constexpr UINT SB_LINERIGHT = 1;
inline constexpr UINT SB_PAGEUP = 2;
inline constexpr UINT SB_PAGELEFT = 2;
inline constexpr UINT SB_PAGEDOWN = 3;
inline constexpr UINT SB_PAGERIGHT = 3;
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_TOP = 6;
inline constexpr UINT SB_LEFT = 6;
inline constexpr UINT SB_BOTTOM = 7;
inline constexpr UINT SB_RIGHT = 7;
inline constexpr UINT SB_ENDSCROLL = 8;
inline constexpr UINT SBM_SETPOS = 0x00E0;
inline constexpr UINT SBM_GETPOS = 0x00E1;
inline constexpr UINT SBM_SETRANGE = 0x00E2;
inline constexpr UINT SBM_GETRANGE = 0x00E3;
inline constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
inline constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
inline constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
inline constexpr UINT SBM_GETSCROLLINFO = 0x00EA;
inline constexpr UINT SIF_RANGE = 0x1;
inline constexpr UINT SIF_PAGE = 0x2;
inline constexpr UINT SIF_POS = 0x4;
inline constexpr UINT SIF_DISABLENOSCROLL = 0x8;
inline constexpr UINT SIF_TRACKPOS = 0x10;
inline constexpr UINT SIF_ALL = 0x17;
inline constexpr UINT ESB_ENABLE_BOTH = 0;
inline constexpr UINT ESB_DISABLE_LTUP = 1;
inline constexpr UINT ESB_DISABLE_RTDN = 2;
inline constexpr UINT ESB_DISABLE_BOTH = 3;
struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// ---- Tab control (the property sheet's tabs) ---------------------------------------------------
inline constexpr UINT TCM_GETITEMCOUNT = 0x1304;
inline constexpr UINT TCM_GETITEMRECT = 0x130A;
inline constexpr UINT TCM_GETCURSEL = 0x130B;
inline constexpr UINT TCM_SETCURSEL = 0x130C;
inline constexpr UINT TCM_INSERTITEM = 0x1307;
inline constexpr UINT TCM_DELETEITEM = 0x1308;
inline constexpr UINT TCM_DELETEALLITEMS = 0x1309;
inline constexpr UINT TCM_SETITEM = 0x1306;
inline constexpr UINT TCM_ADJUSTRECT = 0x1328;
constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551);
constexpr UINT TCN_SELCHANGING = static_cast<UINT>(-552);
inline constexpr UINT TCIF_TEXT = 0x1;
struct TCITEM {
    UINT mask = TCIF_TEXT;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    LPSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";

// ---- System menu commands and menus ------------------------------------------------------------
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_MAXIMIZE = 0xF030;
inline constexpr UINT SC_NEXTWINDOW = 0xF040;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_KEYMENU = 0xF100;
inline constexpr UINT SC_RESTORE = 0xF120;
inline constexpr UINT SC_TASKLIST = 0xF130;
inline constexpr UINT SC_SCREENSAVE = 0xF140;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT kMenuError = 0xFFFFFFFF;
// Menus are kept (items, checks, states) but never shown: the programs strip or ignore them.
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);  // previous MF_CHECKED state, or -1
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);  // -1 when there is no such item
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// The window's system menu (made on first use: Återställ, Flytta, Storlek, Minimera, Maximera, Stäng).
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
HMENU GetMenu(HWND hwnd);
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);

// ---- Help commands (WinHelp is the dialogs' call; the framework passes them on) ------------------
inline constexpr UINT HELP_CONTEXT = 0x0001;
inline constexpr UINT HELP_QUIT = 0x0002;
inline constexpr UINT HELP_INDEX = 0x0003;
inline constexpr UINT HELP_CONTENTS = 0x0003;
inline constexpr UINT HELP_HELPONHELP = 0x0004;
inline constexpr UINT HELP_SETINDEX = 0x0005;
inline constexpr UINT HELP_FINDER = 0x000B;
inline constexpr UINT HELP_KEY = 0x0101;

// ---- A window's child controls ------------------------------------------------------------------
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Scroll bars (SB_CTL: a scroll-bar control) --------------------------------------------------
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// ---- Memory handles ----------------------------------------------------------------------------
using HGLOBAL = HANDLE;
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = 0x0042;
inline constexpr UINT GPTR = 0x0040;
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);  // null on success, the handle when it was not one

// ---- A-suffixed names --------------------------------------------------------------------------
inline BOOL SetDlgItemTextA(HWND d, int id, LPCSTR t) {
    return SetDlgItemText(d, id, t);
}
inline UINT GetDlgItemTextA(HWND d, int id, LPSTR b, int n) {
    return GetDlgItemText(d, id, b, n);
}
