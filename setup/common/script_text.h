// Text routines every statement handler shares: trimming, quotes, token replacement, field
// splitting, and the existence test of a file. All text is Windows-1252 bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace setup {

// The runtime library's white space of the "C" locale: blank, tab, line feed, vertical tab,
// form feed, carriage return. Bytes from 0x80 up are never white space.
bool IsScriptBlank(char c);

// Removes white space at both ends, in place.
void TrimBlanks(std::string& s);

// Trims, turns a leading double quote into a blank, cuts one trailing double quote, trims again.
void StripQuotes(std::string& s);

// Replaces every occurrence of the token (case-sensitive) by the replacement, in one pass from
// left to right that goes on after each inserted text, so a replacement holding the token is
// never replaced again. An empty token changes nothing. Returns the number of replacements.
size_t ReplaceAll(std::string& text, std::string_view token, std::string_view replacement);

// Equal texts when the ASCII letters A-Z and a-z are taken as one (paths, labels, words of the
// command line); other bytes must match exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The runtime library's stat of the DOS path succeeds (a file or a folder).
bool FileExists(const std::string& path);

// The fields of a statement's value, split the way the runtime library's strtok splits: a run
// of separators is one separator and leading separators are skipped, so no field is ever
// empty and a missing field is absent rather than empty.
class ScriptFields {
public:
    ScriptFields() = default;
    explicit ScriptFields(std::vector<std::string> fields) : m_fields(std::move(fields)) {}

    size_t Count() const { return m_fields.size(); }
    bool Has(size_t index) const { return index < m_fields.size(); }
    // The field, or an empty string when it is absent (test Has when absence matters).
    const std::string& operator[](size_t index) const;
    const std::vector<std::string>& All() const { return m_fields; }

private:
    std::vector<std::string> m_fields;
};

struct FieldSplit {
    std::string_view separators = ",;";
    // At most this many fields are taken; what follows the last one is not read.
    size_t maxFields = 16;
    // Separators of the last field taken (as a strtok call that changes its separators), so a
    // flags field can run over commas up to a ';'. Empty: the same as `separators`.
    std::string_view lastSeparators = {};
    bool trim = true;
};

ScriptFields SplitFields(std::string_view value, const FieldSplit& how = {});

}  // namespace setup
