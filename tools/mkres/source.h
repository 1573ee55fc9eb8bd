// The text sources of a module resource file: lines of words, numbers and quoted strings,
// `include` expanded, `module` read, and items gathered as blocks
//
//   TYPE ID [ENCODER]
//     body lines
//   end
//
// The format is described in README.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace mkres {

struct Location {
    std::string file;  // as shown in messages
    int line = 0;
    std::string Text() const { return file + ":" + std::to_string(line); }
};

// Errors are collected with their place; the run fails when there is any.
class Diagnostics {
public:
    void Error(const Location& where, const std::string& message) { m_errors.push_back(where.Text() + ": " + message); }
    void Error(const std::string& message) { m_errors.push_back(message); }
    bool Ok() const { return m_errors.empty(); }
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    std::vector<std::string> m_errors;
};

struct Token {
    enum class Kind { Word, String };
    Kind kind = Kind::Word;
    std::string text;     // a word as written; a string's text in UTF-8 with escapes applied
    std::string cp1252;   // a string's bytes in Windows-1252
    bool cp1252Ok = true; // false when the string holds a character Windows-1252 lacks
};

struct SourceLine {
    Location where;
    std::vector<Token> tokens;
    std::filesystem::path folder;  // of the file the line came from: relative paths start here
};

struct ItemSource {
    Location where;
    std::string type;     // "PAL", "IN#"
    uint16_t id = 0;
    std::string encoder;  // empty: the type's default
    std::vector<SourceLine> body;
};

struct ModuleSource {
    std::optional<int> module;
    std::vector<ItemSource> items;
    std::set<std::filesystem::path> inputs;  // every file read, for the build's dependencies
};

// Splits one line into tokens; false (with an error) on a malformed string.
bool Tokenize(const std::string& line, const Location& where, std::vector<Token>& out, Diagnostics& diag);

// Reads a source file with everything it includes.
ModuleSource ReadModuleSource(const std::filesystem::path& file, Diagnostics& diag);
// The same from text in memory (tests); includes are found relative to `folder`.
ModuleSource ParseModuleSource(const std::string& text, const std::string& name, const std::filesystem::path& folder,
                               Diagnostics& diag);

// An item id: a number 0 to 65535, M or M+r (r 0 to 999, M the module line's number); none
// (with an error) otherwise.
std::optional<uint16_t> ParseItemId(const std::string& word, const std::optional<int>& module, const Location& where,
                                    Diagnostics& diag);

// A number: decimal with an optional sign, or hexadecimal "0x...".
std::optional<int64_t> ParseNumber(const std::string& word);

}  // namespace mkres
