// Top-level windows visible across the programs of one installation. Each program writes the
// list of its top-level windows to "win-<pid>.lst" in the runtime folder and listens on an
// abstract local datagram socket named after the installation and its pid; FindWindow reads
// the other programs' lists, and posting to a found window sends it a datagram.
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/runtime_dir.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

constexpr uint32_t kMagic = 0x5A575031;  // "ZWP1"
enum : uint32_t { kPost = 0, kForeground = 1 };

struct Packet {
    uint32_t magic = kMagic;
    uint32_t kind = kPost;
    uint32_t id = 0;
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

struct RemoteWindow {
    int pid = 0;
    uint32_t id = 0;
};

std::mutex g_mu;
std::map<HWND, uint32_t> g_idOf;
std::map<uint32_t, HWND> g_byId;
uint32_t g_nextId = 1;
std::deque<std::unique_ptr<RemoteWindow>> g_remotes;
int g_sock = -1;
std::thread g_listener;
std::atomic<bool> g_stop{false};
WindowSharingHooks g_hooks;

std::string Hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

std::string Unhex(const std::string& s) {
    std::string out;
    auto v = [](char c) { return c >= 'a' ? c - 'a' + 10 : c - '0'; };
    for (size_t i = 0; i + 1 < s.size(); i += 2) out += static_cast<char>(v(s[i]) * 16 + v(s[i + 1]));
    return out;
}

sockaddr_un AddressOf(int pid, socklen_t* len) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::string name = "zelbo-" +
                       std::to_string(std::hash<std::string>{}(std::filesystem::absolute(EmulatedRoot()).string())) +
                       "-" + std::to_string(pid);
    // Abstract namespace: a leading NUL, gone with the process.
    std::memcpy(a.sun_path + 1, name.data(), std::min(name.size(), sizeof(a.sun_path) - 2));
    *len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + std::min(name.size(), sizeof(a.sun_path) - 2));
    return a;
}

std::filesystem::path ListFile(int pid) { return RuntimeDir() / ("win-" + std::to_string(pid) + ".lst"); }

void Publish() {
    std::ostringstream out;
    {
        std::lock_guard lock(g_mu);
        std::map<HWND, uint32_t> live;
        g_byId.clear();
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            auto it = g_idOf.find(w);
            uint32_t id = it != g_idOf.end() ? it->second : g_nextId++;
            live[w] = id;
            g_byId[id] = w;
            char cls[256];
            GetClassName(w, cls, sizeof cls);
            std::string title(static_cast<size_t>(GetWindowTextLength(w)) + 1, '\0');
            title.resize(static_cast<size_t>(GetWindowText(w, title.data(), static_cast<int>(title.size()))));
            out << id << ' ' << Hex(cls) << ' ' << Hex(title) << '\n';
        }
        g_idOf.swap(live);
    }
    std::filesystem::path file = ListFile(getpid());
    std::filesystem::path tmp = file;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << out.str();
        if (!f) return;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, file, ec);
}

bool Alive(int pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

HWND FindRemote(LPCSTR className, LPCSTR windowName) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(RuntimeDir(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("win-", 0) != 0 || entry.path().extension() != ".lst") continue;
        int pid = std::atoi(name.c_str() + 4);
        if (pid <= 0 || pid == getpid()) continue;
        if (!Alive(pid)) {
            std::filesystem::remove(entry.path(), ec);
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream ls(line);
            uint32_t id = 0;
            std::string cls, title;
            if (!(ls >> id >> cls)) continue;
            ls >> title;
            cls = Unhex(cls);
            title = Unhex(title);
            if (className && !IS_INTRESOURCE(className) && !EqualNoCase1252(cls, className)) continue;
            if (windowName && title != windowName) continue;
            std::lock_guard lock(g_mu);
            for (auto& r : g_remotes)
                if (r->pid == pid && r->id == id) return reinterpret_cast<HWND>(r.get());
            g_remotes.push_back(std::make_unique<RemoteWindow>(RemoteWindow{pid, id}));
            return reinterpret_cast<HWND>(g_remotes.back().get());
        }
    }
    return nullptr;
}

const RemoteWindow* RemoteOf(HWND hwnd) {
    std::lock_guard lock(g_mu);
    for (auto& r : g_remotes)
        if (reinterpret_cast<HWND>(r.get()) == hwnd) return r.get();
    return nullptr;
}

bool Send(HWND hwnd, uint32_t kind, UINT msg, WPARAM wParam, LPARAM lParam) {
    const RemoteWindow* r = RemoteOf(hwnd);
    if (!r || g_sock < 0) return false;
    Packet p;
    p.kind = kind;
    p.id = r->id;
    p.msg = msg;
    p.wParam = wParam;
    p.lParam = lParam;
    socklen_t len;
    sockaddr_un to = AddressOf(r->pid, &len);
    return ::sendto(g_sock, &p, sizeof p, 0, reinterpret_cast<sockaddr*>(&to), len) == static_cast<ssize_t>(sizeof p);
}

bool PostRemote(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return Send(hwnd, kPost, msg, wParam, lParam); }
bool ForegroundRemote(HWND hwnd) { return Send(hwnd, kForeground, 0, 0, 0); }

void Listen() {
    while (!g_stop) {
        pollfd pfd{g_sock, POLLIN, 0};
        if (::poll(&pfd, 1, 200) <= 0) continue;
        Packet p;
        ssize_t n = ::recv(g_sock, &p, sizeof p, 0);
        if (n != static_cast<ssize_t>(sizeof p) || p.magic != kMagic) continue;
        HWND target = nullptr;
        {
            std::lock_guard lock(g_mu);
            auto it = g_byId.find(p.id);
            if (it != g_byId.end()) target = it->second;
        }
        if (!target) continue;
        if (p.kind == kForeground)
            PostMessage(target, kMsgRemoteForeground, 0, 0);
        else
            PostMessage(target, p.msg, static_cast<WPARAM>(p.wParam), static_cast<LPARAM>(p.lParam));
    }
}

}  // namespace

bool StartWindowSharing() {
    if (g_sock >= 0) return true;
    if (RuntimeDir().empty()) return false;
    int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    socklen_t len;
    sockaddr_un me = AddressOf(getpid(), &len);
    if (::bind(s, reinterpret_cast<sockaddr*>(&me), len) != 0) {
        ::close(s);
        return false;
    }
    g_sock = s;
    g_stop = false;
    static bool atExit = false;
    if (!atExit) {
        atExit = true;
        std::atexit(StopWindowSharing);  // the listener thread must be joined before exit
    }
    g_listener = std::thread(Listen);
    g_hooks.topLevelChanged = Publish;
    g_hooks.findRemote = FindRemote;
    g_hooks.postRemote = PostRemote;
    g_hooks.foregroundRemote = ForegroundRemote;
    SetWindowSharingHooks(&g_hooks);
    Publish();
    return true;
}

std::vector<int> PostToOtherPrograms(UINT msg) {
    std::vector<int> pids;
    // A socket of our own when this program does not share its windows.
    const int sock = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0) return pids;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(RuntimeDir(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("win-", 0) != 0 || entry.path().extension() != ".lst") continue;
        const int pid = std::atoi(name.c_str() + 4);
        if (pid <= 0 || pid == getpid() || !Alive(pid)) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        bool any = false;
        while (std::getline(in, line)) {
            uint32_t id = 0;
            if (!(std::istringstream(line) >> id)) continue;
            Packet p;
            p.id = id;
            p.msg = msg;
            socklen_t len;
            sockaddr_un to = AddressOf(pid, &len);
            if (::sendto(sock, &p, sizeof p, 0, reinterpret_cast<sockaddr*>(&to), len) == static_cast<ssize_t>(sizeof p))
                any = true;
        }
        if (any) pids.push_back(pid);
    }
    ::close(sock);
    return pids;
}

void StopWindowSharing() {
    if (g_sock < 0) return;
    SetWindowSharingHooks(nullptr);
    g_stop = true;
    if (g_listener.joinable()) g_listener.join();
    ::close(g_sock);
    g_sock = -1;
    std::error_code ec;
    std::filesystem::remove(ListFile(getpid()), ec);
    std::lock_guard lock(g_mu);
    g_idOf.clear();
    g_byId.clear();
}

}  // namespace plat
