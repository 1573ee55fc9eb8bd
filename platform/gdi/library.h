// Run-time loading of libraries, as a stand-in that knows only the platform's built-in libraries
// and hands out their functions by name: "WING32.DLL" (the ten WinG calls) and "USER32.DLL"
// (ChangeDisplaySettingsA), which every program has loaded, so GetModuleHandle finds it without
// a LoadLibrary.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/wintypes.h"

// void (*)(): casts to and from it draw no warning whatever the function's real type.
using FARPROC = void (*)();

// Names match case-insensitively, with or without a path and the ".DLL" extension. Unknown
// names fail with ERROR_MOD_NOT_FOUND. Each load counts; FreeLibrary undoes one.
HMODULE LoadLibrary(LPCSTR name);
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
// By name only; ordinals and unknown names fail with ERROR_PROC_NOT_FOUND.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// A loaded library's handle (not one hidden by a test); nullptr gives the program's own module.
HMODULE GetModuleHandle(LPCSTR name);

namespace plat {

struct BuiltinExport {
    const char* name;
    FARPROC proc;
};

template <class F>
FARPROC ToFarProc(F* f) {
    return reinterpret_cast<FARPROC>(f);
}

// Adds a built-in library (name as "NAME.DLL"); replaces one of the same name.
void RegisterBuiltinLibrary(const char* name, std::vector<BuiltinExport> exports);
// Tests: a library that is not installed, or one that lacks an entry point.
void SetBuiltinLibraryHidden(const char* name, bool hidden);
void SetBuiltinExportHidden(const char* library, const char* exportName, bool hidden);
// Forgets load counts and hidden marks.
void ResetLibraries();

// The program's own module handle (GetModuleHandle(nullptr)).
HMODULE ProgramModule();

}  // namespace plat
