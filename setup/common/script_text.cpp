#include "setup/common/script_text.h"

#include "platform/fs/crt_stat.h"

namespace setup {

bool IsScriptBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void TrimBlanks(std::string& s) {
    size_t end = s.size();
    while (end > 0 && IsScriptBlank(s[end - 1])) --end;
    size_t start = 0;
    while (start < end && IsScriptBlank(s[start])) ++start;
    s = s.substr(start, end - start);
}

void StripQuotes(std::string& s) {
    TrimBlanks(s);
    if (!s.empty() && s.front() == '"') s.front() = ' ';
    if (!s.empty() && s.back() == '"') s.pop_back();
    TrimBlanks(s);
}

size_t ReplaceAll(std::string& text, std::string_view token, std::string_view replacement) {
    if (token.empty()) return 0;
    size_t count = 0;
    size_t from = 0;
    while ((from = text.find(token, from)) != std::string::npos) {
        text.replace(from, token.size(), replacement);
        from += replacement.size();
        ++count;
    }
    return count;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool FileExists(const std::string& path) {
    struct _stat info;
    return _stat(path.c_str(), &info) == 0;
}

const std::string& ScriptFields::operator[](size_t index) const {
    static const std::string kAbsent;
    return index < m_fields.size() ? m_fields[index] : kAbsent;
}

ScriptFields SplitFields(std::string_view value, const FieldSplit& how) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (fields.size() < how.maxFields) {
        const bool last = fields.size() + 1 == how.maxFields;
        const std::string_view seps = last && !how.lastSeparators.empty() ? how.lastSeparators : how.separators;
        pos = value.find_first_not_of(seps, pos);
        if (pos == std::string_view::npos) break;
        size_t end = value.find_first_of(seps, pos);
        if (end == std::string_view::npos) end = value.size();
        std::string field(value.substr(pos, end - pos));
        if (how.trim) TrimBlanks(field);
        fields.push_back(std::move(field));
        // strtok steps over the one separator that ended the field.
        pos = end == value.size() ? end : end + 1;
    }
    return ScriptFields(std::move(fields));
}

}  // namespace setup
