#include "tools/mkres/source.h"

#include <fstream>
#include <sstream>

#include "media/res/res_writer.h"
#include "platform/strings/cp1252.h"
#include "tools/mkres/spoken_numbers.h"

namespace mkres {

namespace {

constexpr int kMaxIncludeDepth = 32;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Appends the Windows-1252 bytes of UTF-8 text; false when a character has none or the
// text is not UTF-8.
bool AppendCp1252(const std::string& utf8, std::string& out) {
    size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<uint8_t>(utf8[i]);
        char32_t cp = 0;
        int extra = 0;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra > 0 && i + extra >= utf8.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<uint8_t>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        i += 1 + extra;
        const int byte = plat::CodePointToCp1252(cp);
        if (byte < 0) return false;
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

struct Reader {
    Diagnostics& diag;
    ModuleSource& result;
    std::vector<SourceLine> lines;
    std::vector<std::filesystem::path> stack;  // files being read, for include cycles

    void ReadText(const std::string& text, const std::string& name, const std::filesystem::path& folder) {
        std::istringstream in(text);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
            const Location where{name, number};
            std::vector<Token> tokens;
            if (!Tokenize(line, where, tokens, diag) || tokens.empty()) continue;
            if (tokens[0].kind == Token::Kind::Word && tokens[0].text == "include") {
                if (tokens.size() != 2 || tokens[1].kind != Token::Kind::String) {
                    diag.Error(where, "include takes one quoted file name");
                    continue;
                }
                ReadFile(folder / std::filesystem::path(tokens[1].text), where);
                continue;
            }
            lines.push_back(SourceLine{where, std::move(tokens), folder});
        }
    }

    void ReadFile(const std::filesystem::path& file, const Location& from) {
        std::error_code ec;
        std::filesystem::path canonical = std::filesystem::weakly_canonical(file, ec);
        if (ec) canonical = file;
        for (const auto& open : stack) {
            if (open == canonical) {
                diag.Error(from, "include cycle: " + file.string() + " includes itself");
                return;
            }
        }
        if (stack.size() >= kMaxIncludeDepth) {
            diag.Error(from, "includes nested too deep");
            return;
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            if (from.line > 0) {
                diag.Error(from, "cannot read " + file.string());
            } else {
                diag.Error("cannot read " + file.string());
            }
            return;
        }
        result.inputs.insert(canonical);
        std::ostringstream text;
        text << in.rdbuf();
        stack.push_back(canonical);
        ReadText(text.str(), file.string(), file.parent_path());
        stack.pop_back();
    }
};

bool IsValidType(const std::string& code) { return media::TypeValue(code) != 0; }

std::optional<uint16_t> ParseId(const std::string& word, const std::optional<int>& module, const Location& where,
                                Diagnostics& diag) {
    int64_t value = 0;
    if (word == "M" || word.rfind("M+", 0) == 0) {
        if (!module) {
            diag.Error(where, "id " + word + " needs a module line before it");
            return std::nullopt;
        }
        int64_t r = 0;
        if (word.size() > 1) {
            const auto n = ParseNumber(word.substr(2));
            if (!n || *n < 0 || *n > 999) {
                diag.Error(where, "in " + word + " the number after M+ must be 0 to 999");
                return std::nullopt;
            }
            r = *n;
        }
        value = *module * 1000 + r;
    } else {
        const auto n = ParseNumber(word);
        if (!n) {
            diag.Error(where, "id " + word + " is not a number, M or M+number");
            return std::nullopt;
        }
        value = *n;
    }
    if (value < 0 || value > 0xFFFF) {
        diag.Error(where, "id " + word + " is outside 0 to 65535");
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

void Parse(Reader& reader, ModuleSource& result, Diagnostics& diag) {
    ItemSource* open = nullptr;
    std::set<std::pair<std::string, uint16_t>> seen;
    for (SourceLine& line : reader.lines) {
        const Token& first = line.tokens[0];
        const bool word = first.kind == Token::Kind::Word;
        if (open) {
            if (word && first.text == "end" && line.tokens.size() == 1) {
                open = nullptr;
            } else {
                open->body.push_back(std::move(line));
            }
            continue;
        }
        if (word && first.text == "end") {
            diag.Error(line.where, "end without an item");
            continue;
        }
        if (word && first.text == "module") {
            const auto n = line.tokens.size() == 2 ? ParseNumber(line.tokens[1].text) : std::nullopt;
            if (!n || *n < 0 || *n > 65) {
                diag.Error(line.where, "module takes one number from 0 to 65");
            } else if (result.module && *result.module != *n) {
                diag.Error(line.where, "a second module line with another number");
            } else {
                result.module = static_cast<int>(*n);
            }
            continue;
        }
        if (word && first.text == "spoken-numbers") {
            for (ItemSource& item : SpokenNumberItems(line, result.module, diag)) {
                if (!seen.emplace(item.type, item.id).second)
                    diag.Error(line.where, "item " + item.type + " " + std::to_string(item.id) + " is given twice");
                result.items.push_back(std::move(item));
            }
            continue;
        }
        if (!word || !IsValidType(first.text)) {
            diag.Error(line.where, "expected an item (TYPE ID [ENCODER]), module or include, not '" + first.text + "'");
            continue;
        }
        if (line.tokens.size() < 2 || line.tokens.size() > 3 || line.tokens[1].kind != Token::Kind::Word ||
            (line.tokens.size() == 3 && line.tokens[2].kind != Token::Kind::Word)) {
            diag.Error(line.where, "an item starts with TYPE ID [ENCODER]");
            continue;
        }
        const auto id = ParseId(line.tokens[1].text, result.module, line.where, diag);
        if (!id) continue;
        ItemSource item;
        item.where = line.where;
        item.type = first.text;
        item.id = *id;
        if (line.tokens.size() == 3) item.encoder = line.tokens[2].text;
        if (!seen.emplace(item.type, item.id).second) {
            diag.Error(line.where, "item " + item.type + " " + std::to_string(item.id) + " is given twice");
        }
        result.items.push_back(std::move(item));
        open = &result.items.back();
    }
    if (open) diag.Error(open->where, "item " + open->type + " " + std::to_string(open->id) + " has no end line");
}

}  // namespace

std::optional<uint16_t> ParseItemId(const std::string& word, const std::optional<int>& module, const Location& where,
                                    Diagnostics& diag) {
    return ParseId(word, module, where, diag);
}

std::optional<int64_t> ParseNumber(const std::string& word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) {
        negative = word[i] == '-';
        ++i;
    }
    int base = 10;
    if (word.size() - i > 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= word.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < word.size(); ++i) {
        const int d = HexDigit(word[i]);
        if (d < 0 || d >= base) return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFLL) return std::nullopt;
    }
    return negative ? -value : value;
}

bool Tokenize(const std::string& line, const Location& where, std::vector<Token>& out, Diagnostics& diag) {
    size_t i = 0;
    while (i < line.size()) {
        if (IsSpace(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;  // a comment starts a word and runs to the end of the line
        Token token;
        if (line[i] == '"') {
            token.kind = Token::Kind::String;
            ++i;
            std::string literal;  // UTF-8 text not yet converted
            bool closed = false;
            auto flush = [&] {
                token.text += literal;
                if (!AppendCp1252(literal, token.cp1252)) token.cp1252Ok = false;
                literal.clear();
            };
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    literal.push_back(c);
                    continue;
                }
                if (i >= line.size()) break;
                const char e = line[i++];
                switch (e) {
                    case 'n': literal.push_back('\n'); break;
                    case 't': literal.push_back('\t'); break;
                    case 'r': literal.push_back('\r'); break;
                    case '"': literal.push_back('"'); break;
                    case '\\': literal.push_back('\\'); break;
                    case 'x': {
                        const int hi = i < line.size() ? HexDigit(line[i]) : -1;
                        const int lo = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                        if (hi < 0 || lo < 0) {
                            diag.Error(where, "\\x takes two hexadecimal digits");
                            return false;
                        }
                        i += 2;
                        flush();
                        const auto byte = static_cast<uint8_t>(hi * 16 + lo);
                        token.cp1252.push_back(static_cast<char>(byte));
                        token.text += plat::Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
                        break;
                    }
                    default:
                        diag.Error(where, std::string("unknown escape \\") + e);
                        return false;
                }
            }
            if (!closed) {
                diag.Error(where, "string without its closing quote");
                return false;
            }
            flush();
        } else {
            const size_t start = i;
            while (i < line.size() && !IsSpace(line[i])) ++i;
            token.text = line.substr(start, i - start);
            if (token.text.find('"') != std::string::npos) {
                diag.Error(where, "a quote inside the word " + token.text);
                return false;
            }
        }
        out.push_back(std::move(token));
    }
    return true;
}

ModuleSource ReadModuleSource(const std::filesystem::path& file, Diagnostics& diag) {
    ModuleSource result;
    Reader reader{diag, result, {}, {}};
    reader.ReadFile(file, Location{file.string(), 0});
    Parse(reader, result, diag);
    return result;
}

ModuleSource ParseModuleSource(const std::string& text, const std::string& name, const std::filesystem::path& folder,
                               Diagnostics& diag) {
    ModuleSource result;
    Reader reader{diag, result, {}, {}};
    reader.ReadText(text, name, folder);
    Parse(reader, result, diag);
    return result;
}

}  // namespace mkres
