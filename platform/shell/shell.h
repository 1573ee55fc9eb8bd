// The shell services the setup programs use: the component calls for one class (the shell
// link), the Start menu's Programs folder, and shortcuts written as a text stand-in at the
// ".lnk" path plus a desktop entry that starts the program on this machine.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"
#include "platform/process/process.h"
#include "platform/strings/cp1252.h"

using HRESULT = LONG;
using ULONG = uint32_t;
enum : HRESULT {
    S_OK = 0,
    S_FALSE = 1,
    E_NOINTERFACE = static_cast<HRESULT>(0x80004002),
    E_POINTER = static_cast<HRESULT>(0x80004003),
    E_FAIL = static_cast<HRESULT>(0x80004005),
    E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E),
    E_INVALIDARG = static_cast<HRESULT>(0x80070057),
    E_ACCESSDENIED = static_cast<HRESULT>(0x80070005),
    CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110),
    REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154),
    CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0),
};
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
    bool operator==(const GUID&) const = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPOLESTR = WCHAR*;
using LPCOLESTR = const WCHAR*;

extern const CLSID CLSID_ShellLink;
extern const IID IID_IUnknown;
extern const IID IID_IShellLinkA;
extern const IID IID_IPersistFile;
enum : DWORD { CLSCTX_INPROC_SERVER = 0x1 };

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects go through Release
};

// A shell link's fields. Texts are Windows-1252; longer than MAX_PATH - 1 is E_INVALIDARG.
struct IShellLinkA : IUnknown {
    virtual HRESULT SetPath(LPCSTR file) = 0;
    virtual HRESULT SetArguments(LPCSTR arguments) = 0;
    virtual HRESULT SetDescription(LPCSTR description) = 0;
    virtual HRESULT SetIconLocation(LPCSTR iconPath, int icon) = 0;

protected:
    ~IShellLinkA() = default;
};

struct IPersistFile : IUnknown {
    // Writes the shortcut: the stand-in at the ".lnk" path and its desktop entry. A target that
    // lies (its links followed) anywhere but on C: or a CD is E_ACCESSDENIED, nothing written.
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;

protected:
    ~IPersistFile() = default;
};

// The component library: counted per program; S_FALSE when already initialised.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
// Only CLSID_ShellLink, as IShellLinkA, IPersistFile or IUnknown; CO_E_NOTINITIALIZED
// before CoInitialize.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
void CoTaskMemFree(void* memory);

// Item lists are only handed from SHGetSpecialFolderLocation to SHGetPathFromIDList and freed
// with CoTaskMemFree.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
enum : int { CSIDL_PROGRAMS = 0x0002 };
// CSIDL_PROGRAMS: "C:\WINDOWS\Start Menu\Programs"; other folders E_INVALIDARG.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
BOOL SHGetPathFromIDList(LPCITEMIDLIST list, LPSTR path);

namespace plat {

// Installs the DeleteFileA observer that removes a shortcut's desktop entry with its ".lnk"
// file under the emulated Start menu. InitPlatform calls it; idempotent.
void InstallShellHooks();

// Confines this program and every program it starts to writing inside the emulated
// installation, the desktop-entries folder and, in a scripted run, the folder of ZELBO_SCRIPT
// and ZELBO_RECORD (ConfineWritesTo). Where the kernel offers no confinement, one line on
// stderr says so. The setup programs call it at start.
ConfineResult ConfineToInstallation(const char* programName);

}  // namespace plat
