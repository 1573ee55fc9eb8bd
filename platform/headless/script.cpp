// The headless script: one event per line, "<time> <command> [arguments]".
// See platform/README.md for the format.
#include <algorithm>
#include <cctype>
#include <sstream>

#include "platform/core/keyboard_layout.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"
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

int VirtualKeyByName(const std::string& name) {
    std::string n = Upper(name);
    if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9'))) return n[0];
    if (n.size() >= 2 && n[0] == 'F') {
        long long f;
        if (ParseInt(n.substr(1), f) && f >= 1 && f <= 12) return VK_F1 + static_cast<int>(f) - 1;
    }
    static const std::pair<const char*, int> names[] = {
        {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},   {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},
        {"TAB", VK_TAB},       {"SPACE", VK_SPACE},  {"BACK", VK_BACK},     {"BACKSPACE", VK_BACK},
        {"DELETE", VK_DELETE}, {"INSERT", VK_INSERT}, {"LEFT", VK_LEFT},    {"RIGHT", VK_RIGHT},
        {"UP", VK_UP},         {"DOWN", VK_DOWN},    {"HOME", VK_HOME},     {"END", VK_END},
        {"PRIOR", VK_PRIOR},   {"PAGEUP", VK_PRIOR}, {"NEXT", VK_NEXT},     {"PAGEDOWN", VK_NEXT},
        {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL}, {"MENU", VK_MENU},
        {"ALT", VK_MENU},      {"PAUSE", VK_PAUSE},  {"CAPITAL", VK_CAPITAL}, {"CAPSLOCK", VK_CAPITAL},
    };
    for (auto& [k, v] : names)
        if (n == k) return v;
    long long code;
    if (ParseInt(name, code) && code > 0 && code < 256) return static_cast<int>(code);
    return 0;
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
    return ParseInt(s, v) ? static_cast<int>(v) : 0;
}

MouseButton ButtonByName(const std::string& s) {
    std::string n = Upper(s);
    if (n == "RIGHT") return MouseButton::Right;
    if (n == "MIDDLE") return MouseButton::Middle;
    return MouseButton::Left;
}

}  // namespace

bool HeadlessBackend::LoadScript(const std::string& text, const std::string& baseDir, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    uint64_t last = m_now;
    auto fail = [&](const std::string& why) {
        if (error) *error = "script line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    auto pathOf = [&](const std::string& p) { return (p.empty() || p[0] == '/' || baseDir.empty()) ? p : baseDir + "/" + p; };
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
        uint64_t at = relative ? last + static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
        last = at;
        cmd = Upper(cmd);
        std::vector<std::string> args;
        for (std::string a; ls >> a;) args.push_back(a);
        auto intArg = [&](size_t i, int& out) {
            long long v;
            if (i >= args.size() || !ParseInt(args[i], v)) return false;
            out = static_cast<int>(v);
            return true;
        };
        InputEvent ev;
        int x = 0, y = 0;
        if (cmd == "MOVE" || cmd == "DOWN" || cmd == "UP" || cmd == "CLICK") {
            if (!intArg(0, x) || !intArg(1, y)) return fail(cmd + " needs x and y");
            ev.x = x;
            ev.y = y;
            ev.button = args.size() > 2 ? ButtonByName(args[2]) : MouseButton::Left;
            if (cmd == "MOVE") {
                ev.kind = InputKind::MouseMove;
                QueueInput(at, ev);
            } else if (cmd == "CLICK") {
                Click(at, x, y, ev.button);
            } else {
                ev.kind = cmd == "DOWN" ? InputKind::MouseDown : InputKind::MouseUp;
                QueueInput(at, ev);
            }
        } else if (cmd == "KEY" || cmd == "KEYDOWN" || cmd == "KEYUP") {
            if (args.empty()) return fail(cmd + " needs a key");
            // "KEY CTRL+ALT+A": modifiers held around the key.
            std::vector<int> keys;
            std::stringstream parts(args[0]);
            for (std::string part; std::getline(parts, part, '+');) {
                int vk = VirtualKeyByName(part);
                if (!vk) return fail("unknown key '" + part + "'");
                keys.push_back(vk);
            }
            bool shift = std::count(keys.begin(), keys.end(), VK_SHIFT) > 0;
            bool ctrl = std::count(keys.begin(), keys.end(), VK_CONTROL) > 0;
            bool alt = std::count(keys.begin(), keys.end(), VK_MENU) > 0;
            if (cmd != "KEYUP") {
                for (size_t i = 0; i < keys.size(); ++i) {
                    ev.kind = InputKind::KeyDown;
                    ev.vk = keys[i];
                    ev.ch = (i + 1 == keys.size() && !alt) ? CharOfKey(keys[i], shift, ctrl) : 0;
                    ev.extended = IsExtendedVirtualKey(keys[i]);
                    QueueInput(at, ev);
                }
            }
            if (cmd != "KEYDOWN") {
                for (size_t i = keys.size(); i-- > 0;) {
                    ev.kind = InputKind::KeyUp;
                    ev.vk = keys[i];
                    ev.ch = 0;
                    ev.extended = IsExtendedVirtualKey(keys[i]);
                    QueueInput(at, ev);
                }
            }
            ev.extended = false;
        } else if (cmd == "TYPE") {
            size_t p = line.find_first_not_of(" \t", line.find(timeWord) + timeWord.size());
            p = line.find_first_not_of(" \t", p + 4);
            std::string bytes = p == std::string::npos ? "" : Utf8ToCp1252(line.substr(p));
            // As a keyboard types: each character's key goes down (Shift held around it when
            // needed), the character follows, the key comes up; one character every
            // kTypeStepMs. A character no single key types comes as the character alone.
            uint64_t t = at;
            for (char c : bytes) {
                const auto ch = static_cast<uint8_t>(c);
                int vk = 0;
                bool shifted = false;
                const bool keyed = KeyForChar(ch, &vk, &shifted);
                const auto key = [&](InputKind kind, int code, uint64_t when) {
                    InputEvent k;
                    k.kind = kind;
                    k.vk = code;
                    QueueInput(when, k);
                };
                if (keyed && shifted) key(InputKind::KeyDown, VK_SHIFT, t);
                if (keyed) key(InputKind::KeyDown, vk, t + 1);
                ev.kind = InputKind::Char;
                ev.ch = ch;
                QueueInput(t + 3, ev);
                if (keyed) key(InputKind::KeyUp, vk, t + 5);
                if (keyed && shifted) key(InputKind::KeyUp, VK_SHIFT, t + 6);
                t += kTypeStepMs;
            }
        } else if (cmd == "CLOSE") {
            ev.kind = InputKind::Close;
            QueueInput(at, ev);
        } else if (cmd == "ANSWER") {
            int a = args.empty() ? 0 : AnswerByName(args[0]);
            if (!a) return fail("unknown answer");
            PushAnswer(a);
        } else if (cmd == "SCREENSHOT") {
            if (args.empty()) return fail("screenshot needs a file");
            std::string path = pathOf(args[0]);
            At(at, [path] {
                if (!SaveScreenPng(path)) std::fprintf(stderr, "headless: cannot write %s\n", path.c_str());
            });
        } else if (cmd == "WAV") {
            if (args.empty()) return fail("wav needs a file");
            std::string path = pathOf(args[0]);
            At(at, [this, path] {
                if (!SaveWav(path, m_played, m_audioFormat.samplesPerSec))
                    std::fprintf(stderr, "headless: cannot write %s\n", path.c_str());
            });
        } else if (cmd == "QUIT") {
            At(at, [] { PostQuitMessage(0); });
        } else {
            return fail("unknown command '" + cmd + "'");
        }
    }
    return true;
}

}  // namespace plat
