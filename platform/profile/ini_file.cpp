#include "platform/profile/ini_file.h"

#include "platform/strings/cp1252.h"

namespace plat {

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsBlankLine(std::string_view raw) {
    for (char c : raw) {
        if (!IsBlank(c) && c != '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string_view CIniFile::Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view CIniFile::Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool CIniFile::SameName(std::string_view a, std::string_view b) {
    return EqualNoCase1252(Trim(a), Trim(b));
}

CIniFile::Line CIniFile::ParseLine(std::string raw, bool first) {
    Line line;
    line.raw = std::move(raw);
    std::string_view text(line.raw);
    size_t start = 0;
    if (first && text.substr(0, 3) == "\xEF\xBB\xBF") {
        start = 3;  // a UTF-8 mark left by an editor
    }
    size_t end = text.find_first_of(std::string_view("\n\0", 2), start);
    if (end == npos) {
        end = text.size();
    }
    while (start < end && IsBlank(text[start])) {
        ++start;
    }
    while (end > start && IsBlank(text[end - 1])) {
        --end;
    }
    if (start == end || text[start] == ';') {
        return line;
    }
    std::string_view body = text.substr(start, end - start);
    if (body.front() == '[') {
        size_t close = body.find(']');
        std::string_view name = body.substr(1, close == npos ? npos : close - 1);
        std::string_view trimmed = Trim(name);
        line.kind = Kind::Section;
        line.namePos = static_cast<size_t>(trimmed.data() - text.data());
        line.nameLen = trimmed.size();
        return line;
    }
    size_t eq = body.find('=');
    std::string_view key = eq == npos ? std::string_view() : Trim(body.substr(0, eq));
    if (key.empty()) {
        line.kind = Kind::Text;
        line.namePos = start;
        line.nameLen = end - start;
        return line;
    }
    std::string_view value = Trim(body.substr(eq + 1));
    line.kind = Kind::Entry;
    line.namePos = static_cast<size_t>(key.data() - text.data());
    line.nameLen = key.size();
    // An empty value may point past the end of body; keep its position inside the line.
    line.valuePos = value.empty() ? line.namePos : static_cast<size_t>(value.data() - text.data());
    line.valueLen = value.size();
    return line;
}

CIniFile::CIniFile(std::string_view bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        size_t next = nl == npos ? bytes.size() : nl + 1;
        m_lines.push_back(ParseLine(std::string(bytes.substr(pos, next - pos)), pos == 0));
        pos = next;
    }
}

std::string CIniFile::Bytes() const {
    size_t total = 0;
    for (const Line& line : m_lines) {
        total += line.raw.size();
    }
    std::string out;
    out.reserve(total);
    for (const Line& line : m_lines) {
        out += line.raw;
    }
    return out;
}

size_t CIniFile::FindHeader(std::string_view section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && SameName(m_lines[i].Name(), section)) {
            return i;
        }
    }
    return npos;
}

size_t CIniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section) {
        ++i;
    }
    return i;
}

std::pair<size_t, size_t> CIniFile::SectionBody(std::string_view section) const {
    size_t header = FindHeader(section);
    if (header == npos) {
        return {0, 0};
    }
    return {header + 1, SectionEnd(header)};
}

size_t CIniFile::FindEntry(std::string_view section, std::string_view key) const {
    auto [first, end] = SectionBody(section);
    for (size_t i = first; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Entry && SameName(line.Name(), key)) {
            return i;
        }
    }
    return npos;
}

std::optional<std::string_view> CIniFile::Find(std::string_view section, std::string_view key) const {
    size_t i = FindEntry(section, key);
    if (i == npos) {
        return std::nullopt;
    }
    return m_lines[i].Value();
}

bool CIniFile::HasSection(std::string_view section) const {
    return FindHeader(section) != npos;
}

std::vector<std::string_view> CIniFile::SectionNames() const {
    std::vector<std::string_view> names;
    for (const Line& line : m_lines) {
        if (line.kind != Kind::Section || line.nameLen == 0) {
            continue;
        }
        bool seen = false;
        for (std::string_view name : names) {
            if (EqualNoCase1252(name, line.Name())) {
                seen = true;
                break;
            }
        }
        if (!seen) {
            names.push_back(line.Name());
        }
    }
    return names;
}

std::vector<std::string_view> CIniFile::KeyNames(std::string_view section) const {
    std::vector<std::string_view> keys;
    auto [first, end] = SectionBody(section);
    for (size_t i = first; i < end; ++i) {
        if (m_lines[i].kind == Kind::Entry) {
            keys.push_back(m_lines[i].Name());
        }
    }
    return keys;
}

std::vector<std::string> CIniFile::SectionEntries(std::string_view section) const {
    std::vector<std::string> entries;
    auto [first, end] = SectionBody(section);
    for (size_t i = first; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Entry) {
            std::string entry(line.Name());
            entry += '=';
            entry += line.Value();
            entries.push_back(std::move(entry));
        } else if (line.kind == Kind::Text) {
            entries.emplace_back(line.Name());
        }
    }
    return entries;
}

void CIniFile::EnsureLineEnd(size_t index) {
    Line& line = m_lines[index];
    if (line.raw.empty() || line.raw.back() != '\n') {
        line.raw += "\r\n";
    }
}

void CIniFile::InsertLine(size_t index, std::string raw) {
    if (index > 0) {
        EnsureLineEnd(index - 1);
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index),
                   ParseLine(std::move(raw), index == 0));
}

void CIniFile::AppendSection(std::string_view section, const std::vector<std::string>& body) {
    if (!m_lines.empty()) {
        EnsureLineEnd(m_lines.size() - 1);
        if (!IsBlankLine(m_lines.back().raw)) {
            m_lines.push_back(ParseLine("\r\n", false));
        }
    }
    m_lines.push_back(ParseLine("[" + std::string(Trim(section)) + "]\r\n", m_lines.empty()));
    for (const std::string& raw : body) {
        m_lines.push_back(ParseLine(raw, false));
    }
}

bool CIniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    size_t entry = FindEntry(section, key);
    if (entry != npos) {
        std::string raw = std::string(m_lines[entry].Name()) + "=" + std::string(value) + "\r\n";
        if (raw == m_lines[entry].raw) {
            return false;
        }
        m_lines[entry] = ParseLine(std::move(raw), entry == 0);
        return true;
    }
    std::string raw = std::string(Trim(key)) + "=" + std::string(value) + "\r\n";
    size_t header = FindHeader(section);
    if (header == npos) {
        AppendSection(section, {raw});
        return true;
    }
    size_t last = header;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (!IsBlankLine(m_lines[i].raw)) {
            last = i;
        }
    }
    InsertLine(last + 1, std::move(raw));
    return true;
}

bool CIniFile::DeleteKey(std::string_view section, std::string_view key) {
    size_t entry = FindEntry(section, key);
    if (entry == npos) {
        return false;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(entry));
    return true;
}

bool CIniFile::DeleteSection(std::string_view section) {
    bool changed = false;
    for (size_t header = FindHeader(section); header != npos; header = FindHeader(section)) {
        const size_t end = SectionEnd(header);
        // The last section takes the blank line that set it apart with it: appending a section
        // and deleting it again leaves the file as it was.
        size_t from = header;
        if (end == m_lines.size() && from > 0 && IsBlankLine(m_lines[from - 1].raw)) --from;
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(from),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(end));
        changed = true;
    }
    return changed;
}

bool CIniFile::ReplaceSection(std::string_view section, const std::vector<std::string_view>& lines) {
    std::vector<std::string> body;
    for (std::string_view line : lines) {
        body.push_back(std::string(line) + "\r\n");
    }
    size_t header = FindHeader(section);
    if (header == npos) {
        AppendSection(section, body);
        return true;
    }
    size_t end = SectionEnd(header);
    size_t keepFrom = end;
    while (keepFrom > header + 1 && IsBlankLine(m_lines[keepFrom - 1].raw)) {
        --keepFrom;
    }
    std::string before = Bytes();
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(keepFrom));
    size_t at = header + 1;
    for (std::string& raw : body) {
        InsertLine(at++, std::move(raw));
    }
    return Bytes() != before;
}

}  // namespace plat
