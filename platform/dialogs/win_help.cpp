// The help stand-in: WinHelp shows the help file in a read-only window of its own when the
// file exists. The file is Windows-1252 text, or HTML (tags dropped, blocks as line breaks,
// entities decoded; UTF-8 when its head says so). The window is owned by the running modal
// dialog, if any, so that it can be used while that dialog waits.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>

#include "platform/dialogs/dialog.h"
#include "platform/dialogs/dialogs_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/fs/dospath.h"
#include "platform/strings/cp1252.h"

namespace plat::dlg {
namespace {

constexpr size_t kMaxHelpBytes = 4u << 20;
constexpr int kViewId = 100;
constexpr int kScrollWidth = 16;

// ---- Reading the file ---------------------------------------------------------------------------

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(ToLower1252(static_cast<uint8_t>(c)));
    return s;
}

int EntityChar(const std::string& name) {
    static const std::pair<const char*, int> kNamed[] = {
        {"amp", '&'},     {"lt", '<'},      {"gt", '>'},      {"quot", '"'},    {"apos", '\''},  {"nbsp", 0xA0},
        {"aring", 0xE5},  {"Aring", 0xC5},  {"auml", 0xE4},   {"Auml", 0xC4},   {"ouml", 0xF6},  {"Ouml", 0xD6},
        {"eacute", 0xE9}, {"Eacute", 0xC9}, {"uuml", 0xFC},   {"Uuml", 0xDC},   {"copy", 0xA9},  {"ndash", 0x96},
        {"mdash", 0x97},  {"hellip", 0x85}, {"laquo", 0xAB},  {"raquo", 0xBB},
    };
    for (const auto& [n, c] : kNamed)
        if (name == n) return c;
    if (name.size() > 1 && name[0] == '#') {
        long v = 0;
        const bool hex = name[1] == 'x' || name[1] == 'X';
        for (size_t i = hex ? 2 : 1; i < name.size(); ++i) {
            const char c = name[i];
            int d = -1;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            if (d < 0 || v > 0x10FFFF) return -1;
            v = v * (hex ? 16 : 10) + d;
        }
        const int b = CodePointToCp1252(static_cast<char32_t>(v));
        return b < 0 ? '?' : b;
    }
    return -1;
}

// Text of an HTML page, with its title.
std::string HtmlToText(const std::string& html, std::string& title) {
    std::string out;
    size_t i = 0;
    bool inTitle = false, skip = false;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = Lower(html.substr(i + 1, end - i - 1));
            const bool closing = !tag.empty() && tag[0] == '/';
            std::string name = tag.substr(closing ? 1 : 0);
            name = name.substr(0, name.find_first_of(" \t\r\n/"));
            if (name == "title") inTitle = !closing;
            if (name == "script" || name == "style") skip = !closing;
            static const char* kBlocks[] = {"p", "br", "div", "h1", "h2", "h3", "h4", "h5", "h6",
                                            "li", "tr", "ul", "ol", "table", "pre", "hr"};
            if (std::find_if(std::begin(kBlocks), std::end(kBlocks), [&](const char* b) { return name == b; }) !=
                std::end(kBlocks)) {
                if (!out.empty() && out.back() != '\n') out += '\n';
                if ((name == "p" || name[0] == 'h') && !closing && !out.empty()) out += '\n';
                if (name == "li" && !closing) out += "\x95 ";
            }
            i = end + 1;
            continue;
        }
        std::string piece(1, c);
        if (c == '&') {
            const size_t semi = html.find(';', i);
            if (semi != std::string::npos && semi - i < 10) {
                const int ch = EntityChar(html.substr(i + 1, semi - i - 1));
                if (ch >= 0) {
                    piece = std::string(1, static_cast<char>(ch));
                    i = semi;
                }
            }
        }
        ++i;
        if (skip) continue;
        if (inTitle) {
            title += piece;
            continue;
        }
        if (piece == "\r" || piece == "\n" || piece == "\t") piece = " ";
        if (piece == " " && (out.empty() || out.back() == ' ' || out.back() == '\n')) continue;
        out += piece;
    }
    return out;
}

}  // namespace

bool HelpFileText(std::string data, std::string& title, std::string& text) {
    title.clear();
    text.clear();
    if (data.empty()) return false;
    if (data.size() > kMaxHelpBytes) data.resize(kMaxHelpBytes);
    size_t first = data.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && data[first] == '<') {
        std::string head = Lower(data.substr(0, 2048));
        if (head.find("charset=utf-8") != std::string::npos || head.find("charset=\"utf-8\"") != std::string::npos)
            data = Utf8ToCp1252(data);
        text = HtmlToText(data, title);
    } else {
        text.reserve(data.size());
        for (char c : data)
            if (c != '\r') text += c;
    }
    if (title.empty()) title = "Hj\xE4lp";
    return true;
}

namespace {

bool ReadHelp(LPCSTR file, std::string& title, std::string& text) {
    if (!file || !*file) return false;
    auto host = ResolveDosPath(file);
    if (!host) return false;
    std::ifstream in(*host, std::ios::binary);
    if (!in) return false;
    std::string data;
    data.resize(kMaxHelpBytes);
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<size_t>(in.gcount()));
    return HelpFileText(std::move(data), title, text);
}

// ---- The text view -------------------------------------------------------------------------------

struct TextView {
    int top = 0;  // pixels scrolled
    bool dragging = false;
    int grab = 0;
};

RECT TextArea(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return RECT{rc.left + 2, rc.top + 2, rc.right - 2 - kScrollWidth, rc.bottom - 2};
}

int TextHeightOf(HWND hwnd) {
    const std::string text = WindowText(hwnd);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    RECT area = TextArea(hwnd);
    RECT calc{0, 0, area.right - area.left - 8, 0};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    DeleteDC(dc);
    return calc.bottom + 8;
}

ScrollModel ViewScroll(HWND hwnd, const TextView* v) {
    const RECT area = TextArea(hwnd);
    ScrollModel m;
    m.vertical = true;
    m.min = 0;
    m.max = std::max(0, TextHeightOf(hwnd) - 1);
    m.page = std::max(1, static_cast<int>(area.bottom - area.top));
    m.pos = v->top;
    m.enabled = m.max + 1 > m.page;
    return m;
}

RECT ViewScrollRect(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return RECT{rc.right - 2 - kScrollWidth, rc.top + 2, rc.right - 2, rc.bottom - 2};
}

void ScrollTo(HWND hwnd, TextView* v, int top) {
    const ScrollModel m = ViewScroll(hwnd, v);
    top = std::clamp(top, 0, std::max(0, m.MaxPos()));
    if (top != v->top) {
        v->top = top;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

constexpr int kLine = 13;

int PageOf(HWND hwnd) {
    const RECT area = TextArea(hwnd);
    return std::max(kLine, static_cast<int>(area.bottom - area.top) - kLine);
}

void Paint(HWND hwnd, const TextView* v, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SunkenEdge(dc, rc);
    const RECT area = TextArea(hwnd);
    Fill(dc, area, kWindow);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kWindowText);
    const std::string text = WindowText(hwnd);
    RECT tr{area.left + 4, area.top + 4 - v->top, area.right - 4, area.top + 4 - v->top + 100000};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    RestoreDC(dc, saved);
    SelectObject(dc, old);
    PaintScrollBar(dc, ViewScrollRect(hwnd), ViewScroll(hwnd, v), ScrollPart::None, false);
}

void OnKeyDown(HWND hwnd, TextView* v, WPARAM vk) {
    const int page = PageOf(hwnd);
    switch (vk) {
        case VK_UP: ScrollTo(hwnd, v, v->top - kLine); break;
        case VK_DOWN: ScrollTo(hwnd, v, v->top + kLine); break;
        case VK_PRIOR: ScrollTo(hwnd, v, v->top - page); break;
        case VK_NEXT: ScrollTo(hwnd, v, v->top + page); break;
        case VK_HOME: ScrollTo(hwnd, v, 0); break;
        case VK_END: ScrollTo(hwnd, v, 1 << 30); break;
        default: break;
    }
}

// A click on the scroll bar: a line, a page, or the thumb taken.
void OnLButtonDown(HWND hwnd, TextView* v, POINT p) {
    SetFocus(hwnd);
    const RECT sr = ViewScrollRect(hwnd);
    const ScrollModel m = ViewScroll(hwnd, v);
    const int page = PageOf(hwnd);
    switch (HitScrollBar(sr, m, p)) {
        case ScrollPart::LineUp: ScrollTo(hwnd, v, v->top - kLine); break;
        case ScrollPart::LineDown: ScrollTo(hwnd, v, v->top + kLine); break;
        case ScrollPart::PageUp: ScrollTo(hwnd, v, v->top - page); break;
        case ScrollPart::PageDown: ScrollTo(hwnd, v, v->top + page); break;
        case ScrollPart::Thumb: {
            RECT a, b, t;
            m.Layout(sr, a, b, t);
            v->dragging = true;
            v->grab = p.y - t.top;
            SetCapture(hwnd);
            break;
        }
        default: break;
    }
}

LRESULT TextViewMessage(HWND hwnd, TextView* v, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
            v->top = 0;
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(hwnd, v, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_KEYDOWN:
            OnKeyDown(hwnd, v, wParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(hwnd, v, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_MOUSEMOVE:
            if (v->dragging) {
                const RECT sr = ViewScrollRect(hwnd);
                ScrollTo(hwnd, v, ViewScroll(hwnd, v).PosFromThumb(sr, GET_Y_LPARAM(lParam) - v->grab - (sr.top + kScrollWidth)));
            }
            return 0;
        case WM_LBUTTONUP:
            if (v->dragging) {
                v->dragging = false;
                ReleaseCapture();
            }
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<TextView>(hwnd, msg, wParam, lParam, MakeState<TextView>, TextViewMessage);
}

namespace {

const DialogItem kHelpItems[] = {
    Control(nullptr, kViewId, kTextViewClass, WS_VISIBLE | WS_TABSTOP, 6, 6, 288, 160),
    DefPushButton(u8"St\u00e4ng", IDCANCEL, 244, 172, 50, 14),
};
const DialogTemplate kHelpTemplate{0, 0, 0, 300, 192, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Hjälp",
                                   kHelpItems};

// The viewer: a modeless dialog that goes away on Escape, Stäng or the close box.
class HelpViewer : public CDialog {
public:
    HelpViewer() { m_lpDialogTemplate = &kHelpTemplate; }
    void OnCancel() override { DestroyWindow(); }
    void OnOK() override { DestroyWindow(); }
};

std::unique_ptr<HelpViewer>& Viewer() {
    static std::unique_ptr<HelpViewer> viewer;
    return viewer;
}

}  // namespace

}  // namespace plat::dlg

BOOL WinHelp(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR) {
    using namespace plat::dlg;
    auto& viewer = Viewer();
    if (command == HELP_QUIT) {
        if (viewer && viewer->m_hWnd) viewer->DestroyWindow();
        viewer.reset();
        return TRUE;
    }
    std::string title, text;
    if (!ReadHelp(helpFile, title, text)) return FALSE;
    if (viewer && viewer->m_hWnd) viewer->DestroyWindow();
    viewer = std::make_unique<HelpViewer>();
    HWND modal = plat::CurrentModal();
    CWnd* parent = CWnd::FromHandle(modal ? modal : owner);
    if (!viewer->CreateIndirect(&kHelpTemplate, parent)) return FALSE;
    viewer->SetWindowText(title.c_str());
    viewer->SetDlgItemText(kViewId, text.c_str());
    viewer->CenterWindow();
    plat::dlg::ShowDialog(viewer->m_hWnd);
    return TRUE;
}
