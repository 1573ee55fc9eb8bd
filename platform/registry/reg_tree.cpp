#include "platform/registry/reg_tree.h"

#include <cstdio>
#include <optional>

#include "platform/core/byte_order.h"
#include "platform/strings/cp1252.h"

namespace plat {

namespace {

constexpr const char* kRootNames[kRegRootCount] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS"};
constexpr std::string_view kHeader = "REGEDIT4";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The text file's lines: "\n" or "\r\n" ends, a NUL ends the readable part of a line.
class CLineReader {
public:
    explicit CLineReader(std::string_view text) : m_text(text) {}

    bool Next(std::string_view* line) {
        if (m_pos >= m_text.size()) {
            return false;
        }
        size_t nl = m_text.find('\n', m_pos);
        size_t end = nl == std::string_view::npos ? m_text.size() : nl;
        std::string_view raw = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        ++m_number;
        *line = Trim(raw.substr(0, raw.find('\0')));
        return true;
    }
    size_t Number() const { return m_number; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    size_t m_number = 0;
};

// A quoted string with \\ and \" escapes at the start of s; s is left after the closing
// quote. None when it does not start with a quote or is not closed.
std::optional<std::string> ParseQuoted(std::string_view* s) {
    if (s->empty() || s->front() != '"') {
        return std::nullopt;
    }
    std::string out;
    size_t i = 1;
    while (i < s->size()) {
        char c = (*s)[i];
        if (c == '"') {
            s->remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < s->size() && ((*s)[i + 1] == '\\' || (*s)[i + 1] == '"')) {
            out += (*s)[i + 1];
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return std::nullopt;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

// Comma-separated hex bytes; false on anything else.
bool ParseHexBytes(std::string_view s, std::vector<BYTE>* out) {
    s = Trim(s);
    while (!s.empty()) {
        size_t comma = s.find(',');
        std::string_view item = Trim(s.substr(0, comma));
        s = comma == std::string_view::npos ? std::string_view() : Trim(s.substr(comma + 1));
        if (item.empty() || item.size() > 2) {
            return false;
        }
        int value = 0;
        for (char c : item) {
            int d = HexDigit(c);
            if (d < 0) {
                return false;
            }
            value = value * 16 + d;
        }
        out->push_back(static_cast<BYTE>(value));
    }
    return true;
}

std::vector<BYTE> TextData(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    return std::vector<BYTE>(text.begin(), text.end());
}

// Splits "HKEY_...\A\B" into a root and path; none for an unknown root or a name beyond
// the limits.
std::optional<std::pair<RegRoot, RegPath>> ParseKeyPath(std::string_view text) {
    RegPath parts;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t bs = text.find('\\', pos);
        std::string_view part =
            text.substr(pos, bs == std::string_view::npos ? std::string_view::npos : bs - pos);
        if (!part.empty()) {
            if (part.size() > kMaxRegKeyNameLength || parts.size() > kMaxRegKeyDepth + 2) {
                return std::nullopt;
            }
            parts.emplace_back(part);
        }
        if (bs == std::string_view::npos) {
            break;
        }
        pos = bs + 1;
    }
    if (parts.empty()) {
        return std::nullopt;
    }
    std::string rootName = ToUpper1252(parts.front());
    parts.erase(parts.begin());
    if (rootName == "HKEY_CLASSES_ROOT") {
        parts.insert(parts.begin(), {"SOFTWARE", "Classes"});
        rootName = kRootNames[0];
    }
    if (parts.size() > kMaxRegKeyDepth) {
        return std::nullopt;
    }
    for (int i = 0; i < kRegRootCount; ++i) {
        if (rootName == kRootNames[i]) {
            return std::make_pair(static_cast<RegRoot>(i), std::move(parts));
        }
    }
    return std::nullopt;
}

// The part after '=' of a value line. More lines are taken from the reader while a hex
// list ends in '\'.
std::optional<CRegValue> ParseData(std::string_view s, CLineReader* reader) {
    CRegValue value;
    s = Trim(s);
    if (!s.empty() && s.front() == '"') {
        std::optional<std::string> text = ParseQuoted(&s);
        if (!text || !Trim(s).empty()) {
            return std::nullopt;
        }
        value.type = REG_SZ;
        value.data = TextData(*text);
        return value;
    }
    if (s.substr(0, 6) == "dword:") {
        std::string_view digits = s.substr(6);
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        uint32_t v = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            v = v * 16 + static_cast<uint32_t>(d);
        }
        value.type = REG_DWORD;
        value.data.assign(4, 0);
        plat::SetLe32(value.data, 0, v);
        return value;
    }
    if (s.substr(0, 3) != "hex") {
        return std::nullopt;
    }
    s.remove_prefix(3);
    value.type = REG_BINARY;
    if (!s.empty() && s.front() == '(') {
        size_t close = s.find(')');
        if (close == std::string_view::npos || close < 2 || close > 9) {
            return std::nullopt;
        }
        uint32_t type = 0;
        for (char c : s.substr(1, close - 1)) {
            int d = HexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            type = type * 16 + static_cast<uint32_t>(d);
        }
        value.type = type;
        s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != ':') {
        return std::nullopt;
    }
    s.remove_prefix(1);
    std::string list;
    for (;;) {
        s = Trim(s);
        bool more = !s.empty() && s.back() == '\\';
        if (more) {
            s.remove_suffix(1);
        }
        list += s;
        if (!more || !reader->Next(&s)) {
            break;
        }
    }
    if (!ParseHexBytes(list, &value.data)) {
        return std::nullopt;
    }
    if (IsTextType(value.type)) {
        std::vector<BYTE> bytes = std::move(value.data);
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        value.data = TextData(text);
    }
    return value;
}

void AppendHex(std::string* out, const std::vector<BYTE>& data, bool terminator) {
    char byte[4];
    bool first = true;
    for (BYTE b : data) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        if (!first) {
            *out += ',';
        }
        *out += byte;
        first = false;
    }
    if (terminator) {
        *out += first ? "00" : ",00";
    }
}

bool IsPrintable(const std::vector<BYTE>& data) {
    for (BYTE b : data) {
        if (b < 0x20 || b == 0x7F) {
            return false;
        }
    }
    return true;
}

void SerializeKey(const CRegKey& key, const std::string& path, bool isRoot, std::string* out) {
    if (!isRoot || !key.Values().empty()) {
        *out += "\r\n[" + path + "]\r\n";
        for (const CRegValue& v : key.Values()) {
            *out += v.name.empty() ? std::string("@") : Quote(v.name);
            *out += '=';
            if (v.type == REG_SZ && IsPrintable(v.data)) {
                *out += Quote(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()));
            } else if (v.type == REG_DWORD && v.data.size() == 4) {
                char text[16];
                const uint32_t d = plat::GetLe32(v.data, 0);
                std::snprintf(text, sizeof text, "dword:%08x", d);
                *out += text;
            } else {
                if (v.type == REG_BINARY) {
                    *out += "hex:";
                } else {
                    char text[24];
                    std::snprintf(text, sizeof text, "hex(%x):", v.type);
                    *out += text;
                }
                AppendHex(out, v.data, IsTextType(v.type));
            }
            *out += "\r\n";
        }
    }
    for (const auto& sub : key.Subkeys()) {
        SerializeKey(*sub, path + "\\" + sub->Name(), false, out);
    }
}

}  // namespace

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

CRegKey* CRegKey::Subkey(std::string_view name) {
    for (auto& sub : m_subkeys) {
        if (EqualNoCase1252(sub->Name(), name)) {
            return sub.get();
        }
    }
    return nullptr;
}

const CRegKey* CRegKey::Subkey(std::string_view name) const {
    return const_cast<CRegKey*>(this)->Subkey(name);
}

CRegKey& CRegKey::AddSubkey(std::string_view name, bool* created) {
    CRegKey* existing = Subkey(name);
    if (created != nullptr) {
        *created = existing == nullptr;
    }
    if (existing != nullptr) {
        return *existing;
    }
    m_subkeys.push_back(std::make_unique<CRegKey>(std::string(name)));
    return *m_subkeys.back();
}

bool CRegKey::RemoveSubkey(std::string_view name) {
    for (auto it = m_subkeys.begin(); it != m_subkeys.end(); ++it) {
        if (EqualNoCase1252((*it)->Name(), name)) {
            m_subkeys.erase(it);
            return true;
        }
    }
    return false;
}

const CRegValue* CRegKey::Value(std::string_view name) const {
    for (const CRegValue& v : m_values) {
        if (EqualNoCase1252(v.name, name)) {
            return &v;
        }
    }
    return nullptr;
}

bool CRegKey::SetValue(std::string_view name, DWORD type, std::vector<BYTE> data) {
    for (CRegValue& v : m_values) {
        if (EqualNoCase1252(v.name, name)) {
            if (v.type == type && v.data == data) {
                return false;
            }
            v.type = type;
            v.data = std::move(data);
            return true;
        }
    }
    m_values.push_back(CRegValue{std::string(name), type, std::move(data)});
    return true;
}

bool CRegKey::RemoveValue(std::string_view name) {
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (EqualNoCase1252(it->name, name)) {
            m_values.erase(it);
            return true;
        }
    }
    return false;
}

CRegTree::CRegTree() {
    for (int i = 0; i < kRegRootCount; ++i) {
        m_roots[i] = std::make_unique<CRegKey>(kRootNames[i]);
    }
}

CRegTree CRegTree::Seeded() {
    CRegTree tree;
    bool created = false;
    CRegKey& current =
        tree.Create(RegRoot::LocalMachine, {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"}, &created);
    current.SetValue("ProgramFilesDir", REG_SZ, TextData("C:\\Program Files"));
    current.AddSubkey("SharedDLLs");
    tree.Create(RegRoot::LocalMachine, {"SOFTWARE", "Classes"}, &created);
    tree.Create(RegRoot::CurrentUser, {"Software"}, &created);
    return tree;
}

CRegKey* CRegTree::Find(RegRoot root, const RegPath& path) {
    CRegKey* key = &Root(root);
    for (const std::string& name : path) {
        key = key->Subkey(name);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

const CRegKey* CRegTree::Find(RegRoot root, const RegPath& path) const {
    return const_cast<CRegTree*>(this)->Find(root, path);
}

CRegKey& CRegTree::Create(RegRoot root, const RegPath& path, bool* created) {
    CRegKey* key = &Root(root);
    *created = false;
    for (const std::string& name : path) {
        key = &key->AddSubkey(name, created);
    }
    return *key;
}

CRegTree CRegTree::Parse(std::string_view text, std::vector<size_t>* badLines) {
    CRegTree tree;
    CLineReader reader(text);
    CRegKey* current = nullptr;
    bool sawContent = false;
    std::string_view line;
    while (reader.Next(&line)) {
        size_t number = reader.Number();
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            line.remove_prefix(3);
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!sawContent) {
            sawContent = true;
            if (line == kHeader) {
                continue;
            }
            badLines->push_back(number);  // no header: read on, in case it was lost
        }
        if (line.front() == '[') {
            size_t close = line.rfind(']');
            std::optional<std::pair<RegRoot, RegPath>> key;
            if (close != std::string_view::npos && Trim(line.substr(close + 1)).empty()) {
                key = ParseKeyPath(line.substr(1, close - 1));
            }
            if (!key) {
                badLines->push_back(number);
                current = nullptr;
                continue;
            }
            bool created = false;
            current = &tree.Create(key->first, key->second, &created);
            continue;
        }
        std::optional<std::string> name;
        std::string_view rest = line;
        if (rest.front() == '@') {
            name = std::string();
            rest.remove_prefix(1);
        } else {
            name = ParseQuoted(&rest);
        }
        rest = Trim(rest);
        if (!name || name->size() > kMaxRegValueNameLength || rest.empty() || rest.front() != '=' ||
            current == nullptr) {
            badLines->push_back(number);
            continue;
        }
        std::optional<CRegValue> value = ParseData(rest.substr(1), &reader);
        if (!value) {
            badLines->push_back(number);
            continue;
        }
        current->SetValue(*name, value->type, std::move(value->data));
    }
    return tree;
}

std::string CRegTree::Serialize() const {
    std::string out(kHeader);
    out += "\r\n";
    for (int i = 0; i < kRegRootCount; ++i) {
        SerializeKey(*m_roots[i], kRootNames[i], true, &out);
    }
    return out;
}

}  // namespace plat
