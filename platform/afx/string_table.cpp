#include "platform/afx/string_table.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

#include "platform/afx/afx_string.h"
#include "platform/strings/cp1252.h"

namespace {

struct StringTable {
    std::shared_mutex mutex;
    std::unordered_map<UINT, std::string> texts;
};

StringTable& Table() {
    static StringTable table;
    return table;
}

}  // namespace

namespace plat {

void RegisterStringTable(std::span<const StringEntry> entries) {
    // Convert before taking the lock: readers never wait for the conversion.
    std::vector<std::pair<UINT, std::string>> converted;
    converted.reserve(entries.size());
    for (const StringEntry& entry : entries) {
        const char* utf8 = reinterpret_cast<const char*>(entry.text);
        converted.emplace_back(entry.id, utf8 ? Utf8ToCp1252(utf8) : std::string());
    }
    StringTable& table = Table();
    std::unique_lock lock(table.mutex);
    for (auto& [id, text] : converted) {
        table.texts.insert_or_assign(id, std::move(text));
    }
}

void ClearStringTable() {
    StringTable& table = Table();
    std::unique_lock lock(table.mutex);
    table.texts.clear();
}

std::optional<std::string> LookupString(UINT id) {
    StringTable& table = Table();
    std::shared_lock lock(table.mutex);
    const auto it = table.texts.find(id);
    if (it == table.texts.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace plat

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    const std::string text = plat::LookupString(id).value_or(std::string());
    const size_t copied = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

void AfxFormatStrings(CString& out, LPCSTR format, LPCSTR const* strings, int count) {
    const std::string_view text = format ? std::string_view(format) : std::string_view();
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '%' || next < '1' || next > '9') {
            result += text[i];
            continue;
        }
        const int index = next - '1';
        if (index >= count || !strings) {
            result += '?';
        } else if (strings[index]) {
            result += strings[index];
        }
        ++i;
    }
    out = CString(std::string_view(result));
}

void AfxFormatStrings(CString& out, UINT formatId, LPCSTR const* strings, int count) {
    const std::optional<std::string> format = plat::LookupString(formatId);
    if (format) {
        AfxFormatStrings(out, format->c_str(), strings, count);
    }
}

void AfxFormatString1(CString& out, UINT formatId, LPCSTR s1) {
    AfxFormatStrings(out, formatId, &s1, 1);
}

void AfxFormatString2(CString& out, UINT formatId, LPCSTR s1, LPCSTR s2) {
    const LPCSTR strings[2] = {s1, s2};
    AfxFormatStrings(out, formatId, strings, 2);
}
