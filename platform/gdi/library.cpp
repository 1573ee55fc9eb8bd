#include "platform/gdi/library.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/gdi/wing.h"
#include "platform/gdi/wingdi.h"

namespace plat {
namespace {

struct Library {
    std::string name;  // upper case, with extension
    std::vector<BuiltinExport> exports;
    std::set<std::string> hiddenExports;
    bool hidden = false;
    bool resident = false;  // loaded by every program (USER32): GetModuleHandle finds it unasked
    int loads = 0;
    bool Loaded() const { return resident || loads > 0; }
};

struct Libraries {
    std::mutex lock;
    std::vector<std::unique_ptr<Library>> list;  // records never move: their address is the handle
};

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// "c:\windows\system\wing32" -> "WING32.DLL"; a trailing dot means "no extension".
std::string CanonicalName(const char* name) {
    std::string s = name;
    size_t slash = s.find_last_of("\\/:");
    if (slash != std::string::npos) s.erase(0, slash + 1);
    s = Upper(s);
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    else if (s.find('.') == std::string::npos)
        s += ".DLL";
    return s;
}

std::vector<BuiltinExport> WinGExports() {
    using namespace wing;
    return {
        {"WinGCreateDC", ToFarProc(&WinGCreateDC)},
        {"WinGRecommendDIBFormat", ToFarProc(&WinGRecommendDIBFormat)},
        {"WinGCreateBitmap", ToFarProc(&WinGCreateBitmap)},
        {"WinGGetDIBPointer", ToFarProc(&WinGGetDIBPointer)},
        {"WinGGetDIBColorTable", ToFarProc(&WinGGetDIBColorTable)},
        {"WinGSetDIBColorTable", ToFarProc(&WinGSetDIBColorTable)},
        {"WinGCreateHalftonePalette", ToFarProc(&WinGCreateHalftonePalette)},
        {"WinGCreateHalftoneBrush", ToFarProc(&WinGCreateHalftoneBrush)},
        {"WinGBitBlt", ToFarProc(&WinGBitBlt)},
        {"WinGStretchBlt", ToFarProc(&WinGStretchBlt)},
    };
}

std::vector<BuiltinExport> User32Exports() {
    return {
        {"ChangeDisplaySettingsA", ToFarProc(&ChangeDisplaySettingsA)},
    };
}

Library* FindLocked(Libraries& libs, const std::string& canonical) {
    for (auto& l : libs.list)
        if (l->name == canonical) return l.get();
    return nullptr;
}

Libraries& Libs() {
    static Libraries libs;
    static std::once_flag once;
    std::call_once(once, [] {
        auto wing = std::make_unique<Library>();
        wing->name = "WING32.DLL";
        wing->exports = WinGExports();
        libs.list.push_back(std::move(wing));
        auto user32 = std::make_unique<Library>();
        user32->name = "USER32.DLL";
        user32->exports = User32Exports();
        user32->resident = true;
        libs.list.push_back(std::move(user32));
    });
    return libs;
}

Library* FromHandle(Libraries& libs, HMODULE module) {
    for (auto& l : libs.list)
        if (reinterpret_cast<HMODULE>(l.get()) == module) return l.get();
    return nullptr;
}

char g_programModule;

}  // namespace

void RegisterBuiltinLibrary(const char* name, std::vector<BuiltinExport> exports) {
    if (!name) return;
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    std::string canonical = CanonicalName(name);
    Library* l = FindLocked(libs, canonical);
    if (!l) {
        libs.list.push_back(std::make_unique<Library>());
        l = libs.list.back().get();
        l->name = canonical;
    }
    l->exports = std::move(exports);
}

void SetBuiltinLibraryHidden(const char* name, bool hidden) {
    if (!name) return;
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    if (Library* l = FindLocked(libs, CanonicalName(name))) l->hidden = hidden;
}

void SetBuiltinExportHidden(const char* library, const char* exportName, bool hidden) {
    if (!library || !exportName) return;
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    Library* l = FindLocked(libs, CanonicalName(library));
    if (!l) return;
    if (hidden)
        l->hiddenExports.insert(exportName);
    else
        l->hiddenExports.erase(exportName);
}

void ResetLibraries() {
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    for (auto& l : libs.list) {
        l->loads = 0;
        l->hidden = false;
        l->hiddenExports.clear();
    }
}

HMODULE ProgramModule() {
    return reinterpret_cast<HMODULE>(&g_programModule);
}

}  // namespace plat

using namespace plat;

HMODULE LoadLibrary(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    Library* l = FindLocked(libs, CanonicalName(name));
    if (!l || l->hidden) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++l->loads;
    return reinterpret_cast<HMODULE>(l);
}

HMODULE LoadLibraryA(LPCSTR name) {
    return LoadLibrary(name);
}

BOOL FreeLibrary(HMODULE module) {
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    Library* l = FromHandle(libs, module);
    if (!l || l->loads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --l->loads;
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    Library* l = FromHandle(libs, module);
    if (!l || !l->Loaded()) {
        SetLastError(module == ProgramModule() ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!name || IS_INTRESOURCE(name) || l->hiddenExports.count(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    for (const BuiltinExport& e : l->exports)
        if (std::strcmp(e.name, name) == 0) return e.proc;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

HMODULE GetModuleHandle(LPCSTR name) {
    if (!name) return ProgramModule();
    Libraries& libs = Libs();
    std::lock_guard<std::mutex> g(libs.lock);
    Library* l = FindLocked(libs, CanonicalName(name));
    if (!l || !l->Loaded() || l->hidden) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(l);
}
