// CString: the class library's string of Windows-1252 bytes, over std::string. Lengths and
// positions are in bytes; a null LPCSTR is taken as an empty string.
#pragma once

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/core/wintypes.h"

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    // A "pointer" made by MAKEINTRESOURCE loads that string of the string table.
    CString(LPCSTR text);
    CString(LPCSTR text, int length);
    CString(const unsigned char* text);
    CString(char ch, int repeat = 1);
    CString(std::string_view text);
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR text);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty();

    // Out-of-range positions read as '\0' and writes to them are ignored.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    operator LPCSTR() const { return m_str.c_str(); }
    std::string_view View() const { return m_str; }
    const std::string& Str() const { return m_str; }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    // Byte order (as strcmp): <0, 0, >0.
    int Compare(LPCSTR other) const;
    // Byte order after Windows-1252 case folding (Å and å compare equal).
    int CompareNoCase(LPCSTR other) const;
    // Swedish dictionary order (å, ä, ö after z); CollateNoCase without the case level.
    int Collate(LPCSTR other) const;
    int CollateNoCase(LPCSTR other) const;

    // Positions and counts are clamped to the string.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    // The leading run of bytes that are (SpanIncluding) or are not (SpanExcluding) in the set.
    CString SpanIncluding(LPCSTR charSet) const;
    CString SpanExcluding(LPCSTR charSet) const;

    // Positions from 0, or -1 when not found.
    int Find(char ch) const;
    int Find(char ch, int start) const;
    int Find(LPCSTR sub) const;
    int Find(LPCSTR sub, int start) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR charSet) const;

    // Windows-1252 letters, including å/Å, ä/Ä, ö/Ö.
    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    // White space is the C locale's: blank, \t, \n, \v, \f, \r.
    void TrimLeft();
    void TrimLeft(char target);
    void TrimLeft(LPCSTR targets);
    void TrimRight();
    void TrimRight(char target);
    void TrimRight(LPCSTR targets);

    // Return the number of replacements or removals.
    int Replace(char oldCh, char newCh);
    int Replace(LPCSTR oldText, LPCSTR newText);
    int Remove(char ch);
    // Return the new length.
    int Insert(int index, char ch);
    int Insert(int index, LPCSTR text);
    int Delete(int index, int count = 1);

    // printf formatting into a buffer sized for the result. Pass strings as LPCSTR: a
    // CString object cannot go through "..." (the compiler refuses it).
    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
    // The format is a string of the string table; an id that is missing leaves the string empty.
    void Format(UINT formatId, ...);
    void FormatV(LPCSTR format, va_list args) __attribute__((format(printf, 2, 0)));

    // FALSE, with the string unchanged, when the id is missing or its text is empty.
    BOOL LoadString(UINT id);

    // A writable buffer of at least minLength bytes plus a terminator, holding the text.
    // Call ReleaseBuffer after writing: -1 takes the length up to the first '\0'.
    LPSTR GetBuffer(int minLength);
    LPSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void FreeExtra();

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
std::strong_ordering operator<=>(const CString& a, const CString& b);
std::strong_ordering operator<=>(const CString& a, LPCSTR b);
