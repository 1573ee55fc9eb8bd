// The shell link object, the component calls that make it, and the Programs folder.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <new>

#include "platform/fs/delete_observer.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"
#include "platform/shell/shell.h"
#include "platform/shell/shortcut_file.h"

const CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ITEMIDLIST {
    char path[MAX_PATH];
};

namespace plat {
namespace {

namespace fs = std::filesystem;

std::atomic<int> g_comCount{0};

std::string WindowsFolder() {
    char win[MAX_PATH] = {};
    GetWindowsDirectoryA(win, MAX_PATH);
    return win;
}

bool EndsWithNoCase(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && EqualNoCase1252(std::string_view(s).substr(s.size() - tail.size()), tail);
}

// Writes a host file whole, through a temporary name beside it.
bool WriteWhole(const fs::path& file, const std::string& text) {
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    return !ec;
}

bool IsOnInstallOrCd(const std::optional<std::string>& dos) {
    if (!dos || dos->size() < 3 || (*dos)[1] != ':') return false;
    const char letter = static_cast<char>((*dos)[0] & ~0x20);
    return letter == 'C' || GetDriveKind(letter) == DriveKind::Cdrom;
}

class CShellLink final : public IShellLinkA, public IPersistFile {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
            *object = static_cast<IShellLinkA*>(this);
        } else if (iid == IID_IPersistFile) {
            *object = static_cast<IPersistFile*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT SetPath(LPCSTR file) override { return Set(m_link.target, file); }
    HRESULT SetArguments(LPCSTR arguments) override { return Set(m_link.arguments, arguments); }
    HRESULT SetDescription(LPCSTR description) override { return Set(m_link.description, description); }
    HRESULT SetIconLocation(LPCSTR iconPath, int icon) override {
        std::string path;
        if (HRESULT hr = Set(path, iconPath); FAILED(hr)) return hr;
        m_link.icon = path.empty() ? std::string() : path + "," + std::to_string(icon);
        return S_OK;
    }

    HRESULT Save(LPCOLESTR fileName, BOOL) override;

private:
    static HRESULT Set(std::string& field, LPCSTR text) {
        if (!text) return E_INVALIDARG;
        if (std::strlen(text) >= MAX_PATH) return E_INVALIDARG;
        field = text;
        return S_OK;
    }

    std::atomic<ULONG> m_refs{1};
    ShortcutStandIn m_link;
};

HRESULT CShellLink::Save(LPCOLESTR fileName, BOOL) {
    if (!fileName) return E_INVALIDARG;
    const auto linkDos = FullDosPath(Utf16ToCp1252(fileName));
    if (!linkDos) return E_INVALIDARG;
    ShortcutStandIn link = m_link;
    // A shortcut starts only a program of the installation or of a CD, where its links lead.
    if (!link.target.empty() && !(IsOnInstallOrCd(FullDosPath(link.target)) && IsOnInstallOrCd(RealDosPath(link.target))))
        return E_ACCESSDENIED;

    // The desktop entry first, so that the stand-in names an entry that exists.
    const auto program = ResolveDosPath(link.target);
    link.desktopEntry.clear();
    if (!link.target.empty() && program) {
        DesktopEntry entry;
        std::string title = linkDos->substr(linkDos->rfind('\\') + 1);
        if (EndsWithNoCase(title, ".lnk")) title.resize(title.size() - 4);
        entry.name = Cp1252ToUtf8(title);
        entry.comment = Cp1252ToUtf8(link.description);
        entry.program = *program;
        for (const std::string& a : SplitCommandLine(link.arguments)) entry.arguments.push_back(Cp1252ToUtf8(a));
        entry.workingFolder = program->parent_path();
        entry.root = EmulatedRoot();
        for (char d = 'D'; d <= 'Y' && GetDriveKind(d) == DriveKind::Cdrom; ++d) {
            if (!entry.cdFolders.empty()) entry.cdFolders += ':';
            entry.cdFolders += DriveRoot(d)->string();
        }
        entry.linkDosPath = Cp1252ToUtf8(*linkDos);
        const std::string name = DesktopEntryName(entry.root, *linkDos);
        std::error_code ec;
        const fs::path folder = DesktopEntryFolder();
        fs::create_directories(folder, ec);
        if (WriteWhole(folder / name, FormatDesktopEntry(entry))) link.desktopEntry = name;
    }

    const std::string text = FormatShortcutStandIn(link);
    HANDLE h = CreateFileA(linkDos->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return E_FAIL;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == text.size() ? S_OK : E_FAIL;
}

// Deleting a ".lnk" under the emulated Start menu also removes the desktop entry its
// stand-in names, when that is a plain name of ours.
class CShortcutObserver final : public IDeleteFileObserver {
public:
    std::function<void()> Deleting(const std::string& dosPath, const fs::path& host) override {
        if (!EndsWithNoCase(dosPath, ".lnk")) return nullptr;
        const auto menu = FullDosPath(WindowsFolder() + "\\Start Menu");
        if (!menu || dosPath.size() <= menu->size() + 1 ||
            !EqualNoCase1252(std::string_view(dosPath).substr(0, menu->size() + 1), *menu + "\\"))
            return nullptr;
        std::ifstream in(host, std::ios::binary);
        std::string text(kMaxStandInSize + 1, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<size_t>(in.gcount()));
        const auto link = ParseShortcutStandIn(text);
        // Only the entry made for this very link: a stand-in copied from elsewhere, or naming
        // another installation's entry, takes nothing with it.
        if (!link || !IsOurDesktopEntryName(link->desktopEntry) ||
            link->desktopEntry != DesktopEntryName(EmulatedRoot(), dosPath))
            return nullptr;
        const fs::path entry = DesktopEntryFolder() / link->desktopEntry;
        return [entry] {
            struct stat st {};
            if (::lstat(entry.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(entry.c_str());
        };
    }
};

}  // namespace

void InstallShellHooks() {
    static CShortcutObserver observer;
    SetDeleteFileObserver(&observer);
}

}  // namespace plat

HRESULT CoInitialize(LPVOID) { return plat::g_comCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    int n = plat::g_comCount.load();
    while (n > 0 && !plat::g_comCount.compare_exchange_weak(n, n - 1)) {
    }
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (plat::g_comCount.load() <= 0) return CO_E_NOTINITIALIZED;
    if (!(clsid == CLSID_ShellLink)) return REGDB_E_CLASSNOTREG;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* link = new (std::nothrow) plat::CShellLink;
    if (!link) return E_OUTOFMEMORY;
    const HRESULT hr = static_cast<IShellLinkA*>(link)->QueryInterface(iid, object);
    static_cast<IShellLinkA*>(link)->Release();
    return hr;
}

void CoTaskMemFree(void* memory) { std::free(memory); }

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    if (folder != CSIDL_PROGRAMS) return E_INVALIDARG;
    auto* item = static_cast<ITEMIDLIST*>(std::calloc(1, sizeof(ITEMIDLIST)));
    if (!item) return E_OUTOFMEMORY;
    const std::string path = plat::WindowsFolder() + "\\Start Menu\\Programs";
    std::memcpy(item->path, path.c_str(), std::min(path.size() + 1, sizeof item->path - 1));
    *list = item;
    return S_OK;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST list, LPSTR path) {
    if (!list || !path) return FALSE;
    std::memcpy(path, list->path, std::strlen(list->path) + 1);
    return TRUE;
}
