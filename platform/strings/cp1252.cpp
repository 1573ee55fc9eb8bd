#include "platform/strings/cp1252.h"

#include <array>
#include <cstring>

namespace plat {
namespace {

// Code points of bytes 0x80..0x9F; the rest of the range is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when malformed
// (overlong, surrogate, truncated or beyond U+10FFFF).
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
    const auto b0 = static_cast<uint8_t>(text[i]);
    size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

char32_t Cp1252ToCodePoint(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<uint8_t>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        const int b = CodePointToCp1252(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        i += len;
    }
    return out;
}

uint8_t ToUpper1252(uint8_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<uint8_t>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // œ
        case 0x9E: return 0x8E;  // ž
        case 0xFF: return 0x9F;  // ÿ
        default: return c;
    }
}

uint8_t ToLower1252(uint8_t c) {
    if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<uint8_t>(c + 0x20);
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return c;
    }
}

bool IsUpper1252(uint8_t c) { return ToLower1252(c) != c; }
bool IsLower1252(uint8_t c) { return ToUpper1252(c) != c || c == 0xDF || c == 0xB5; }
bool IsAlpha1252(uint8_t c) { return IsUpper1252(c) || IsLower1252(c) || c == 0xAA || c == 0xBA; }

int CompareNoCase1252(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = ToLower1252(static_cast<uint8_t>(a[i]));
        const int cb = ToLower1252(static_cast<uint8_t>(b[i]));
        if (ca != cb) return ca - cb;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase1252(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase1252(a, b) == 0;
}

std::string ToUpper1252(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(ToUpper1252(static_cast<uint8_t>(c)));
    return out;
}

std::string ToLower1252(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(ToLower1252(static_cast<uint8_t>(c)));
    return out;
}

namespace {

// Collation weights of one byte. Primary: symbols (by byte) < digits < letters in Swedish
// alphabet order; secondary: the accent; tertiary: 0 lower, 1 upper.
struct Weight {
    uint16_t primary;
    uint16_t secondary;
    uint8_t tertiary;
};

constexpr uint16_t kDigitBase = 0x200;
constexpr uint16_t kLetterBase = 0x300;

constexpr uint16_t Letter(char base) { return static_cast<uint16_t>(kLetterBase + (base - 'a')); }
constexpr uint16_t kAring = kLetterBase + 26;   // å
constexpr uint16_t kAuml = kLetterBase + 27;    // ä
constexpr uint16_t kOuml = kLetterBase + 28;    // ö
constexpr uint16_t kThorn = kLetterBase + 29;   // þ

// Primary letter of a lower-case Latin-1 or Windows-1252 letter with an accent; 0 if none.
uint16_t AccentedPrimary(uint8_t lower) {
    switch (lower) {
        case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xAA: return Letter('a');
        case 0xE5: return kAring;
        case 0xE4: case 0xE6: return kAuml;          // ä, æ
        case 0xF6: case 0xF8: case 0x9C: return kOuml;  // ö, ø, œ
        case 0xE7: return Letter('c');
        case 0xF0: return Letter('d');
        case 0xE8: case 0xE9: case 0xEA: case 0xEB: return Letter('e');
        case 0xEC: case 0xED: case 0xEE: case 0xEF: return Letter('i');
        case 0xF1: return Letter('n');
        case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xBA: return Letter('o');
        case 0x9A: case 0xDF: return Letter('s');
        case 0xF9: case 0xFA: case 0xFB: return Letter('u');
        case 0xFC: case 0xFD: case 0xFF: return Letter('y');  // Swedish sorts ü as y
        case 0x9E: return Letter('z');
        case 0xFE: return kThorn;
        default: return 0;
    }
}

Weight WeightOf(uint8_t c) {
    const uint8_t lower = ToLower1252(c);
    const uint8_t tertiary = lower != c ? 1 : 0;
    if (lower >= 'a' && lower <= 'z') return {Letter(static_cast<char>(lower)), 0, tertiary};
    if (c >= '0' && c <= '9') return {static_cast<uint16_t>(kDigitBase + (c - '0')), 0, 0};
    if (const uint16_t p = AccentedPrimary(lower)) {
        // å, ä and ö are letters of their own in Swedish, not accented a and o.
        const bool own = lower == 0xE5 || lower == 0xE4 || lower == 0xF6;
        return {p, static_cast<uint16_t>(own ? 0 : 1 + lower), tertiary};
    }
    return {static_cast<uint16_t>(1 + c), 0, 0};
}

int Collate(std::string_view a, std::string_view b, bool withCase) {
    auto level = [&](auto key) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const int ka = key(WeightOf(static_cast<uint8_t>(a[i])));
            const int kb = key(WeightOf(static_cast<uint8_t>(b[i])));
            if (ka != kb) return ka < kb ? -1 : 1;
        }
        if (a.size() == b.size()) return 0;
        return a.size() < b.size() ? -1 : 1;
    };
    if (int r = level([](Weight w) { return int{w.primary}; })) return r;
    if (int r = level([](Weight w) { return int{w.secondary}; })) return r;
    if (!withCase) return 0;
    if (int r = level([](Weight w) { return int{w.tertiary}; })) return r;
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

int SwedishCollate(std::string_view a, std::string_view b) { return Collate(a, b, true); }
int SwedishCollateNoCase(std::string_view a, std::string_view b) { return Collate(a, b, false); }

}  // namespace plat

namespace {

std::string_view View(LPCSTR s) { return s ? std::string_view(s) : std::string_view(); }
bool IsCharacterArgument(const void* p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

template <uint8_t (*Fold)(uint8_t)>
LPSTR FoldInPlace(LPSTR s) {
    if (IsCharacterArgument(s)) {
        const auto c = static_cast<uint8_t>(reinterpret_cast<uintptr_t>(s) & 0xFF);
        return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(Fold(c)));
    }
    for (char* p = s; *p; ++p) *p = static_cast<char>(Fold(static_cast<uint8_t>(*p)));
    return s;
}

template <uint8_t (*Fold)(uint8_t)>
DWORD FoldBuffer(LPSTR s, DWORD length) {
    if (!s) return 0;
    for (DWORD i = 0; i < length; ++i) s[i] = static_cast<char>(Fold(static_cast<uint8_t>(s[i])));
    return length;
}

}  // namespace

LPSTR CharUpperA(LPSTR s) { return FoldInPlace<plat::ToUpper1252>(s); }
LPSTR CharLowerA(LPSTR s) { return FoldInPlace<plat::ToLower1252>(s); }
DWORD CharUpperBuffA(LPSTR s, DWORD length) { return FoldBuffer<plat::ToUpper1252>(s, length); }
DWORD CharLowerBuffA(LPSTR s, DWORD length) { return FoldBuffer<plat::ToLower1252>(s, length); }

LPSTR CharNextA(LPCSTR s) {
    if (!s) return nullptr;
    return const_cast<LPSTR>(*s ? s + 1 : s);
}

LPSTR CharPrevA(LPCSTR start, LPCSTR s) {
    if (!s) return nullptr;
    return const_cast<LPSTR>(s > start ? s - 1 : start);
}

BOOL IsCharAlphaA(char c) { return plat::IsAlpha1252(static_cast<uint8_t>(c)) ? TRUE : FALSE; }
BOOL IsCharAlphaNumericA(char c) { return (IsCharAlphaA(c) || (c >= '0' && c <= '9')) ? TRUE : FALSE; }
BOOL IsCharUpperA(char c) { return plat::IsUpper1252(static_cast<uint8_t>(c)) ? TRUE : FALSE; }
BOOL IsCharLowerA(char c) { return plat::IsLower1252(static_cast<uint8_t>(c)) ? TRUE : FALSE; }

int lstrcmpA(LPCSTR a, LPCSTR b) { return plat::SwedishCollate(View(a), View(b)); }
int lstrcmpiA(LPCSTR a, LPCSTR b) { return plat::SwedishCollateNoCase(View(a), View(b)); }
int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

LPSTR lstrcpyA(LPSTR dst, LPCSTR src) {
    if (!dst) return nullptr;
    const std::string_view v = View(src);
    std::memmove(dst, v.data(), v.size());
    dst[v.size()] = '\0';
    return dst;
}

LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int maxChars) {
    if (!dst || maxChars <= 0) return dst;
    const std::string_view v = View(src);
    const size_t n = std::min(v.size(), static_cast<size_t>(maxChars - 1));
    std::memmove(dst, v.data(), n);
    dst[n] = '\0';
    return dst;
}

LPSTR lstrcatA(LPSTR dst, LPCSTR src) {
    if (!dst) return nullptr;
    lstrcpyA(dst + std::strlen(dst), src);
    return dst;
}

int _stricmp(const char* a, const char* b) { return plat::CompareNoCase1252(View(a), View(b)); }

int _strnicmp(const char* a, const char* b, size_t count) {
    // Reads no further than count bytes or the first NUL, like the runtime library.
    const std::string_view va = a ? std::string_view(a, strnlen(a, count)) : std::string_view();
    const std::string_view vb = b ? std::string_view(b, strnlen(b, count)) : std::string_view();
    return plat::CompareNoCase1252(va, vb);
}

char* _strupr(char* s) {
    if (s) CharUpperA(s);
    return s;
}

char* _strlwr(char* s) {
    if (s) CharLowerA(s);
    return s;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR src, int srcLength, LPWSTR dst, int dstLength) {
    if ((codePage != CP_ACP && codePage != 1252) || !src || srcLength == 0 || srcLength < -1 || dstLength < 0 ||
        (dstLength > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t n = srcLength == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcLength);
    if (dstLength == 0) return static_cast<int>(n);
    if (n > static_cast<size_t>(dstLength)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Every Windows-1252 byte is one UTF-16 unit (all lie in the basic plane).
    for (size_t i = 0; i < n; ++i) dst[i] = static_cast<WCHAR>(plat::Cp1252ToCodePoint(static_cast<uint8_t>(src[i])));
    return static_cast<int>(n);
}

namespace plat {

std::string Utf16ToCp1252(const WCHAR* text) {
    std::string out;
    if (!text) return out;
    for (const WCHAR* p = text; *p; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            out += '?';
            continue;
        }
        const int b = CodePointToCp1252(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

}  // namespace plat
