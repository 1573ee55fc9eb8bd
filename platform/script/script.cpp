#include "platform/script/script.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "platform/core/keyboard_layout.h"
#include "platform/core/winuser.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ParseInt(const std::string& s, long long& out) {
    if (s.empty()) return false;
    try {
        size_t used = 0;
        out = std::stoll(s, &used, 0);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

// The time one typed character takes in a "type" line.
constexpr uint64_t kTypeStepMs = 10;
// How long a `key` line holds its keys down: the program reads the modifiers' state
// (GetAsyncKeyState) while it handles the key, as it would under a hand on a keyboard.
constexpr uint64_t kKeyHoldMs = 40;

struct KeyName {
    const char* name;
    int vk;
};
// The first name of a key is the one a recording writes.
constexpr KeyName kKeyNames[] = {
    {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},     {"RETURN", VK_RETURN},    {"ENTER", VK_RETURN},
    {"TAB", VK_TAB},       {"SPACE", VK_SPACE},    {"BACK", VK_BACK},        {"BACKSPACE", VK_BACK},
    {"DELETE", VK_DELETE}, {"INSERT", VK_INSERT},  {"LEFT", VK_LEFT},        {"RIGHT", VK_RIGHT},
    {"UP", VK_UP},         {"DOWN", VK_DOWN},      {"HOME", VK_HOME},        {"END", VK_END},
    {"PRIOR", VK_PRIOR},   {"PAGEUP", VK_PRIOR},   {"NEXT", VK_NEXT},        {"PAGEDOWN", VK_NEXT},
    {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},    {"MENU", VK_MENU},
    {"ALT", VK_MENU},      {"PAUSE", VK_PAUSE},    {"CAPITAL", VK_CAPITAL},  {"CAPSLOCK", VK_CAPITAL},
};

int VirtualKeyByName(const std::string& name) {
    std::string n = Upper(name);
    if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9'))) return n[0];
    if (n.size() >= 2 && n[0] == 'F') {
        long long f;
        if (ParseInt(n.substr(1), f) && f >= 1 && f <= 12) return VK_F1 + static_cast<int>(f) - 1;
    }
    for (auto& [k, v] : kKeyNames)
        if (n == k) return v;
    long long code;
    if (ParseInt(name, code) && code > 0 && code < 256) return static_cast<int>(code);
    return 0;
}

// The name VirtualKeyByName reads back as vk: a letter or digit, F1-F12, a named key, else the
// code in hexadecimal (a lone decimal digit would read as the digit key).
std::string KeyNameOf(int vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
    if (vk >= VK_F1 && vk < VK_F1 + 12) return "F" + std::to_string(vk - VK_F1 + 1);
    for (auto& [k, v] : kKeyNames)
        if (v == vk) return k;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(vk & 0xFF));
    return hex;
}

// The character a key types, as TranslateMessage would make it.
uint8_t CharOfKey(int vk, bool shift, bool ctrl) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<uint8_t>(vk - 'A' + 1);
        return static_cast<uint8_t>(shift ? vk : vk + 32);
    }
    if (ctrl) return 0;
    if (vk >= '0' && vk <= '9') return static_cast<uint8_t>(vk);
    switch (vk) {
        case VK_SPACE: return ' ';
        case VK_RETURN: return '\r';
        case VK_BACK: return 8;
        case VK_ESCAPE: return 27;
        case VK_TAB: return 9;
        default: return 0;
    }
}

int AnswerByName(const std::string& s) {
    static const std::pair<const char*, int> names[] = {{"IDOK", 1},    {"OK", 1},      {"IDCANCEL", 2}, {"CANCEL", 2},
                                                        {"IDABORT", 3}, {"ABORT", 3},   {"IDRETRY", 4},  {"RETRY", 4},
                                                        {"IDIGNORE", 5}, {"IGNORE", 5}, {"IDYES", 6},    {"YES", 6},
                                                        {"IDNO", 7},    {"NO", 7}};
    std::string n = Upper(s);
    for (auto& [k, v] : names)
        if (n == k) return v;
    long long v;
    return ParseInt(s, v) && v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : 0;
}

bool ButtonByName(const std::string& s, MouseButton* out) {
    std::string n = Upper(s);
    if (n == "LEFT") *out = MouseButton::Left;
    else if (n == "RIGHT") *out = MouseButton::Right;
    else if (n == "MIDDLE") *out = MouseButton::Middle;
    else return false;
    return true;
}

const char* ButtonName(MouseButton b) {
    switch (b) {
        case MouseButton::Right: return "right";
        case MouseButton::Middle: return "middle";
        default: return "left";
    }
}

}  // namespace

bool ParseScript(std::string_view text, uint64_t startMs, std::vector<ScriptItem>* items, std::string* error) {
    std::vector<ScriptItem> out;
    std::istringstream in{std::string(text)};
    std::string line;
    int lineNo = 0;
    uint64_t last = startMs;
    auto fail = [&](const std::string& why) {
        if (error) *error = "script line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::istringstream ls(line.substr(start));
        std::string timeWord, cmd;
        ls >> timeWord >> cmd;
        long long t;
        bool relative = !timeWord.empty() && timeWord[0] == '+';
        if (!ParseInt(relative ? timeWord.substr(1) : timeWord, t) || t < 0) return fail("bad time '" + timeWord + "'");
        const uint64_t at = relative ? last + static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
        if (at < last && relative) return fail("time out of range");
        last = at;
        cmd = Upper(cmd);
        std::vector<std::string> args;
        for (std::string a; ls >> a;) args.push_back(a);
        auto intArg = [&](size_t i, int& v) {
            long long n;
            if (i >= args.size() || !ParseInt(args[i], n) || n < INT32_MIN || n > INT32_MAX) return false;
            v = static_cast<int>(n);
            return true;
        };
        auto input = [&](uint64_t when, const InputEvent& ev) {
            ScriptItem item;
            item.atMs = when;
            item.input = ev;
            out.push_back(std::move(item));
        };
        auto other = [&](ScriptItem::Kind kind) -> ScriptItem& {
            ScriptItem item;
            item.kind = kind;
            item.atMs = at;
            out.push_back(std::move(item));
            return out.back();
        };
        InputEvent ev;
        if (cmd == "MOVE" || cmd == "DOWN" || cmd == "UP" || cmd == "CLICK") {
            if (!intArg(0, ev.x) || !intArg(1, ev.y)) return fail(cmd + " needs x and y");
            if (args.size() > 2 && !ButtonByName(args[2], &ev.button)) return fail("unknown button '" + args[2] + "'");
            if (cmd == "MOVE") {
                ev.kind = InputKind::MouseMove;
                input(at, ev);
            } else if (cmd == "CLICK") {
                ev.kind = InputKind::MouseDown;
                input(at, ev);
                ev.kind = InputKind::MouseUp;
                input(at, ev);
            } else {
                ev.kind = cmd == "DOWN" ? InputKind::MouseDown : InputKind::MouseUp;
                input(at, ev);
            }
        } else if (cmd == "KEY" || cmd == "KEYDOWN" || cmd == "KEYUP") {
            if (args.empty()) return fail(cmd + " needs a key");
            // "KEY CTRL+ALT+A": modifiers held around the key, all let go kKeyHoldMs later.
            std::vector<int> keys;
            std::stringstream parts(args[0]);
            for (std::string part; std::getline(parts, part, '+');) {
                int vk = VirtualKeyByName(part);
                if (!vk) return fail("unknown key '" + part + "'");
                keys.push_back(vk);
            }
            if (keys.empty() || args[0].back() == '+') return fail(cmd + " needs a key after '+'");
            bool shift = std::count(keys.begin(), keys.end(), VK_SHIFT) > 0;
            bool ctrl = std::count(keys.begin(), keys.end(), VK_CONTROL) > 0;
            bool alt = std::count(keys.begin(), keys.end(), VK_MENU) > 0;
            if (cmd != "KEYUP") {
                for (size_t i = 0; i < keys.size(); ++i) {
                    ev.kind = InputKind::KeyDown;
                    ev.vk = keys[i];
                    ev.ch = (i + 1 == keys.size() && !alt) ? CharOfKey(keys[i], shift, ctrl) : 0;
                    ev.extended = IsExtendedVirtualKey(keys[i]);
                    input(at, ev);
                }
            }
            if (cmd != "KEYDOWN") {
                for (size_t i = keys.size(); i-- > 0;) {
                    ev.kind = InputKind::KeyUp;
                    ev.vk = keys[i];
                    ev.ch = 0;
                    ev.extended = IsExtendedVirtualKey(keys[i]);
                    input(cmd == "KEY" ? at + kKeyHoldMs : at, ev);
                }
            }
        } else if (cmd == "VKDOWN" || cmd == "VKUP") {
            // One key event exactly as given: no modifiers added, nothing typed unless "char N",
            // extended only when flagged.
            ev.vk = args.empty() ? 0 : VirtualKeyByName(args[0]);
            if (!ev.vk) return fail(cmd + " needs a key");
            ev.kind = cmd == "VKDOWN" ? InputKind::KeyDown : InputKind::KeyUp;
            for (size_t i = 1; i < args.size(); ++i) {
                const std::string flag = Upper(args[i]);
                int c = 0;
                if (flag == "EXTENDED") {
                    ev.extended = true;
                } else if (flag == "REPEAT") {
                    ev.repeat = true;
                } else if (flag == "CHAR" && intArg(i + 1, c) && c >= 1 && c <= 255) {
                    ev.ch = static_cast<uint8_t>(c);
                    ++i;
                } else {
                    return fail("unknown " + Upper(cmd) + " flag '" + args[i] + "'");
                }
            }
            input(at, ev);
        } else if (cmd == "CHAR") {
            int c = 0;
            if (args.size() != 1 || !intArg(0, c) || c < 1 || c > 255) return fail("char needs a code 1 to 255");
            ev.kind = InputKind::Char;
            ev.ch = static_cast<uint8_t>(c);
            input(at, ev);
        } else if (cmd == "FOCUS") {
            const std::string how = args.size() == 1 ? Upper(args[0]) : "";
            if (how == "LOST") ev.kind = InputKind::FocusLost;
            else if (how == "GAINED") ev.kind = InputKind::FocusGained;
            else return fail("focus needs lost or gained");
            input(at, ev);
        } else if (cmd == "TYPE") {
            size_t p = line.find_first_not_of(" \t", start + timeWord.size());
            p = line.find_first_not_of(" \t", p + 4);
            std::string bytes = p == std::string::npos ? "" : Utf8ToCp1252(line.substr(p));
            // As a keyboard types: each character's key goes down (Shift held around it when
            // needed), the character follows, the key comes up; one character every
            // kTypeStepMs. A character no single key types comes as the character alone.
            uint64_t when = at;
            for (char c : bytes) {
                const auto ch = static_cast<uint8_t>(c);
                if (ch == 0) continue;  // no key types it, and no program reads it
                int vk = 0;
                bool shifted = false;
                const bool keyed = KeyForChar(ch, &vk, &shifted);
                const auto key = [&](InputKind kind, int code, uint64_t moment) {
                    InputEvent k;
                    k.kind = kind;
                    k.vk = code;
                    input(moment, k);
                };
                if (keyed && shifted) key(InputKind::KeyDown, VK_SHIFT, when);
                if (keyed) key(InputKind::KeyDown, vk, when + 1);
                InputEvent typed;
                typed.kind = InputKind::Char;
                typed.ch = ch;
                input(when + 3, typed);
                if (keyed) key(InputKind::KeyUp, vk, when + 5);
                if (keyed && shifted) key(InputKind::KeyUp, VK_SHIFT, when + 6);
                when += kTypeStepMs;
            }
        } else if (cmd == "CLOSE") {
            ev.kind = InputKind::Close;
            input(at, ev);
        } else if (cmd == "ANSWER") {
            int a = args.empty() ? 0 : AnswerByName(args[0]);
            if (!a) return fail("unknown answer");
            other(ScriptItem::Kind::Answer).answer = a;
        } else if (cmd == "SCREENSHOT" || cmd == "WAV") {
            if (args.empty()) return fail(Upper(cmd) + " needs a file");
            other(cmd == "WAV" ? ScriptItem::Kind::Wav : ScriptItem::Kind::Screenshot).file = args[0];
        } else if (cmd == "QUIT") {
            other(ScriptItem::Kind::Quit);
        } else if (cmd == "SEED") {
            long long s = 0;
            if (args.size() != 1 || !ParseInt(args[0], s) || s < 0 || s > UINT32_MAX) return fail("seed needs 0 to 4294967295");
            other(ScriptItem::Kind::Seed).seed = static_cast<uint32_t>(s);
        } else {
            return fail("unknown command '" + cmd + "'");
        }
    }
    items->insert(items->end(), std::make_move_iterator(out.begin()), std::make_move_iterator(out.end()));
    return true;
}

std::string ScriptLineOf(uint64_t atMs, const InputEvent& ev) {
    std::string line = std::to_string(atMs) + " ";
    const auto point = [&] { return std::to_string(ev.x) + " " + std::to_string(ev.y); };
    switch (ev.kind) {
        case InputKind::MouseMove: return line + "move " + point() + " " + ButtonName(ev.button);
        case InputKind::MouseDown: return line + "down " + point() + " " + ButtonName(ev.button);
        case InputKind::MouseUp: return line + "up " + point() + " " + ButtonName(ev.button);
        case InputKind::KeyDown:
        case InputKind::KeyUp:
            line += (ev.kind == InputKind::KeyDown ? "vkdown " : "vkup ") + KeyNameOf(ev.vk);
            if (ev.extended) line += " extended";
            if (ev.repeat) line += " repeat";
            if (ev.ch) line += " char " + std::to_string(ev.ch);
            return line;
        case InputKind::Close: return line + "close";
        case InputKind::FocusLost: return line + "focus lost";
        case InputKind::FocusGained: return line + "focus gained";
        case InputKind::Char: return line + "char " + std::to_string(ev.ch);
    }
    return line + "# an event of no known kind";
}

std::string SeedLineOf(uint64_t atMs, uint32_t seed) { return std::to_string(atMs) + " seed " + std::to_string(seed); }

ScriptRecorder::~ScriptRecorder() { Close(); }

bool ScriptRecorder::Open(const std::string& hostPath, std::string* error) {
    Close();
    m_file = std::fopen(hostPath.c_str(), "w");
    if (!m_file) {
        if (error) *error = "cannot write the recording " + hostPath + ": " + std::strerror(errno);
        return false;
    }
    Write("# recorded input: replay with ZELBO_BACKEND=headless ZELBO_SCRIPT=<this file>");
    return true;
}

void ScriptRecorder::Record(uint64_t atMs, const InputEvent& ev) { Write(ScriptLineOf(atMs, ev)); }

void ScriptRecorder::RecordSeed(uint64_t atMs, uint32_t seed) { Write(SeedLineOf(atMs, seed)); }

void ScriptRecorder::Write(const std::string& line) {
    if (!m_file) return;
    std::fputs(line.c_str(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
}

void ScriptRecorder::Close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

}  // namespace plat
