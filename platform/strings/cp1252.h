// Windows-1252 text: conversion to and from UTF-8 at the platform's edges, case folding,
// and the Swedish collation used for sorted lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/wintypes.h"

namespace plat {

// Every byte converts; the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the C1 controls of the same value, as Windows converts them.
std::string Cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 byte, and malformed UTF-8 bytes, become '?'.
std::string Utf8ToCp1252(std::string_view text);
// The Windows-1252 byte of one Unicode code point, or -1 when there is none.
int CodePointToCp1252(char32_t cp);
char32_t Cp1252ToCodePoint(uint8_t byte);

// Letters of Windows-1252 (ASCII, Latin-1, Š/š, Œ/œ, Ž/ž, Ÿ/ÿ); other bytes are unchanged.
uint8_t ToUpper1252(uint8_t c);
uint8_t ToLower1252(uint8_t c);
bool IsAlpha1252(uint8_t c);
bool IsUpper1252(uint8_t c);
bool IsLower1252(uint8_t c);

// Byte order after folding both sides to lower case: <0, 0, >0.
int CompareNoCase1252(std::string_view a, std::string_view b);
bool EqualNoCase1252(std::string_view a, std::string_view b);
std::string ToUpper1252(std::string_view s);
std::string ToLower1252(std::string_view s);

// Swedish dictionary order: letters by the Swedish alphabet (å, ä, ö after z; accented
// letters with their base letter), ignoring case; then accents; then case (lower first);
// a total order, so distinct strings never compare equal.
int SwedishCollate(std::string_view a, std::string_view b);
// The same order without the case level: strings that differ only in case compare equal.
int SwedishCollateNoCase(std::string_view a, std::string_view b);

}  // namespace plat

// The Windows entry points. Text is Windows-1252; a null string is taken as empty.
// CharUpperA/CharLowerA convert a NUL-terminated buffer in place and return it; a "pointer"
// whose high bits are zero is a single character, converted and returned the same way.
LPSTR CharUpperA(LPSTR s);
LPSTR CharLowerA(LPSTR s);
DWORD CharUpperBuffA(LPSTR s, DWORD length);
DWORD CharLowerBuffA(LPSTR s, DWORD length);
LPSTR CharNextA(LPCSTR s);
LPSTR CharPrevA(LPCSTR start, LPCSTR s);
BOOL IsCharAlphaA(char c);
BOOL IsCharAlphaNumericA(char c);
BOOL IsCharUpperA(char c);
BOOL IsCharLowerA(char c);
// Locale order (Swedish): lstrcmp with case as the last tie-break, lstrcmpi without case.
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrlenA(LPCSTR s);
LPSTR lstrcpyA(LPSTR dst, LPCSTR src);
// Copies at most maxChars - 1 bytes and always terminates (when maxChars > 0).
LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int maxChars);
LPSTR lstrcatA(LPSTR dst, LPCSTR src);
// Runtime-library comparisons: bytes folded to lower case, no locale order.
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
char* _strupr(char* s);
char* _strlwr(char* s);

inline LPSTR CharUpper(LPSTR s) { return CharUpperA(s); }
inline LPSTR CharLower(LPSTR s) { return CharLowerA(s); }
inline DWORD CharUpperBuff(LPSTR s, DWORD n) { return CharUpperBuffA(s, n); }
inline DWORD CharLowerBuff(LPSTR s, DWORD n) { return CharLowerBuffA(s, n); }
inline LPSTR CharNext(LPCSTR s) { return CharNextA(s); }
inline LPSTR CharPrev(LPCSTR start, LPCSTR s) { return CharPrevA(start, s); }
inline BOOL IsCharAlpha(char c) { return IsCharAlphaA(c); }
inline BOOL IsCharAlphaNumeric(char c) { return IsCharAlphaNumericA(c); }
inline BOOL IsCharUpper(char c) { return IsCharUpperA(c); }
inline BOOL IsCharLower(char c) { return IsCharLowerA(c); }
inline int lstrcmp(LPCSTR a, LPCSTR b) { return lstrcmpA(a, b); }
inline int lstrcmpi(LPCSTR a, LPCSTR b) { return lstrcmpiA(a, b); }
inline int lstrlen(LPCSTR s) { return lstrlenA(s); }
inline LPSTR lstrcpy(LPSTR dst, LPCSTR src) { return lstrcpyA(dst, src); }
inline LPSTR lstrcpyn(LPSTR dst, LPCSTR src, int n) { return lstrcpynA(dst, src, n); }
inline LPSTR lstrcat(LPSTR dst, LPCSTR src) { return lstrcatA(dst, src); }
inline int stricmp(const char* a, const char* b) { return _stricmp(a, b); }
inline int strnicmp(const char* a, const char* b, size_t n) { return _strnicmp(a, b, n); }

// UTF-16 text of the wide calls (one code unit each; Windows' WCHAR).
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
enum : UINT { CP_ACP = 0 };

// Windows-1252 (CP_ACP or 1252) to UTF-16. srcLength -1 converts up to and including the
// terminating NUL; dstLength 0 returns the units needed. 0 with ERROR_INSUFFICIENT_BUFFER when
// dst is too short, ERROR_INVALID_PARAMETER for another code page or no text.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLength, LPWSTR dst, int dstLength);

namespace plat {
// UTF-16 (up to its NUL) to Windows-1252: characters without a byte become '?', as do lone
// surrogates.
std::string Utf16ToCp1252(const WCHAR* text);
}  // namespace plat
