#include "platform/afx/afx_string.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/afx/string_table.h"
#include "platform/strings/cp1252.h"

namespace {

std::string_view ViewOf(LPCSTR text) {
    return text ? std::string_view(text) : std::string_view();
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

}  // namespace

CString::CString(LPCSTR text) {
    if (text && IS_INTRESOURCE(text)) {
        LoadString(static_cast<UINT>(reinterpret_cast<uintptr_t>(text)));
    } else {
        m_str = ViewOf(text);
    }
}

CString::CString(LPCSTR text, int length) {
    if (text && length > 0) {
        m_str.assign(text, static_cast<size_t>(length));
    }
}

CString::CString(const unsigned char* text) : CString(reinterpret_cast<LPCSTR>(text)) {}

CString::CString(char ch, int repeat) {
    if (repeat > 0) {
        m_str.assign(static_cast<size_t>(repeat), ch);
    }
}

CString::CString(std::string_view text) : m_str(text) {}

CString& CString::operator=(LPCSTR text) {
    // The text may point into this string.
    m_str = std::string(ViewOf(text));
    return *this;
}

CString& CString::operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
}

void CString::Empty() {
    m_str.clear();
    m_str.shrink_to_fit();
}

char CString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) {
        return '\0';
    }
    return m_str[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
    if (index >= 0 && index < GetLength()) {
        m_str[static_cast<size_t>(index)] = ch;
    }
}

CString& CString::operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    m_str += std::string(ViewOf(text));
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

int CString::Compare(LPCSTR other) const {
    return Sign(std::string_view(m_str).compare(ViewOf(other)));
}

int CString::CompareNoCase(LPCSTR other) const {
    return Sign(plat::CompareNoCase1252(m_str, ViewOf(other)));
}

int CString::Collate(LPCSTR other) const {
    return Sign(plat::SwedishCollate(m_str, ViewOf(other)));
}

int CString::CollateNoCase(LPCSTR other) const {
    return Sign(plat::SwedishCollateNoCase(m_str, ViewOf(other)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    const int length = GetLength();
    first = std::clamp(first, 0, length);
    count = std::clamp(count, 0, length - first);
    return CString(std::string_view(m_str).substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(LPCSTR charSet) const {
    const size_t end = m_str.find_first_not_of(ViewOf(charSet));
    return Left(end == std::string::npos ? GetLength() : static_cast<int>(end));
}

CString CString::SpanExcluding(LPCSTR charSet) const {
    const size_t end = m_str.find_first_of(ViewOf(charSet));
    return Left(end == std::string::npos ? GetLength() : static_cast<int>(end));
}

namespace {
int Position(size_t pos) {
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}
}  // namespace

int CString::Find(char ch) const {
    return Find(ch, 0);
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    return Position(m_str.find(ch, static_cast<size_t>(start)));
}

int CString::Find(LPCSTR sub) const {
    return Find(sub, 0);
}

int CString::Find(LPCSTR sub, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    return Position(m_str.find(ViewOf(sub), static_cast<size_t>(start)));
}

int CString::ReverseFind(char ch) const {
    return Position(m_str.rfind(ch));
}

int CString::FindOneOf(LPCSTR charSet) const {
    return Position(m_str.find_first_of(ViewOf(charSet)));
}

void CString::MakeUpper() {
    m_str = plat::ToUpper1252(std::string_view(m_str));
}

void CString::MakeLower() {
    m_str = plat::ToLower1252(std::string_view(m_str));
}

void CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
}

void CString::TrimLeft() {
    TrimLeft(kWhiteSpace.data());
}

void CString::TrimLeft(char target) {
    m_str.erase(0, std::min(m_str.find_first_not_of(target), m_str.size()));
}

void CString::TrimLeft(LPCSTR targets) {
    m_str.erase(0, std::min(m_str.find_first_not_of(ViewOf(targets)), m_str.size()));
}

void CString::TrimRight() {
    TrimRight(kWhiteSpace.data());
}

void CString::TrimRight(char target) {
    const size_t last = m_str.find_last_not_of(target);
    m_str.erase(last == std::string::npos ? 0 : last + 1);
}

void CString::TrimRight(LPCSTR targets) {
    const size_t last = m_str.find_last_not_of(ViewOf(targets));
    m_str.erase(last == std::string::npos ? 0 : last + 1);
}

int CString::Replace(char oldCh, char newCh) {
    int count = 0;
    for (char& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCSTR oldText, LPCSTR newText) {
    const std::string_view from = ViewOf(oldText);
    const std::string_view to = ViewOf(newText);
    if (from.empty()) {
        return 0;
    }
    std::string result;
    int count = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_str.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        result.append(m_str, pos, hit - pos);
        result += to;
        ++count;
    }
    if (count > 0) {
        result.append(m_str, pos);
        m_str = std::move(result);
    }
    return count;
}

int CString::Remove(char ch) {
    const size_t before = m_str.size();
    std::erase(m_str, ch);
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, char ch) {
    m_str.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int index, LPCSTR text) {
    m_str.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), std::string(ViewOf(text)));
    return GetLength();
}

int CString::Delete(int index, int count) {
    const int length = GetLength();
    index = std::clamp(index, 0, length);
    count = std::clamp(count, 0, length - index);
    m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::Format(UINT formatId, ...) {
    const std::string format = plat::LookupString(formatId).value_or(std::string());
    va_list args;
    va_start(args, formatId);
    FormatV(format.c_str(), args);
    va_end(args);
}

void CString::FormatV(LPCSTR format, va_list args) {
    if (!format) {
        m_str.clear();
        return;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        m_str.clear();
        return;
    }
    std::string result(static_cast<size_t>(length), '\0');
    std::vsnprintf(result.data(), result.size() + 1, format, args);
    m_str = std::move(result);
}

BOOL CString::LoadString(UINT id) {
    std::optional<std::string> text = plat::LookupString(id);
    if (!text || text->empty()) {
        return FALSE;
    }
    m_str = std::move(*text);
    return TRUE;
}

LPSTR CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) {
        m_str.resize(static_cast<size_t>(minLength));
    }
    return m_str.data();
}

LPSTR CString::GetBufferSetLength(int length) {
    m_str.resize(static_cast<size_t>(std::max(length, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        newLength = static_cast<int>(strnlen(m_str.data(), m_str.size()));
    }
    m_str.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

void CString::FreeExtra() {
    m_str.shrink_to_fit();
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCSTR b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCSTR a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(char a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

bool operator==(const CString& a, const CString& b) {
    return a.View() == b.View();
}

bool operator==(const CString& a, LPCSTR b) {
    return a.View() == ViewOf(b);
}

std::strong_ordering operator<=>(const CString& a, const CString& b) {
    return a.View() <=> b.View();
}

std::strong_ordering operator<=>(const CString& a, LPCSTR b) {
    return a.View() <=> ViewOf(b);
}
