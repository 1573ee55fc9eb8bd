// An INI file held as its lines, read and edited the way Windows' profile calls do it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {

// Reading: a section starts at a line whose first non-blank character is '[' (the name
// runs to ']' or the end of the line); an entry is a line "key=value" inside a section;
// lines starting with ';' and all other lines are kept but never match. Names compare
// case-insensitively in Windows-1252 with blanks trimmed; values are trimmed. The first of
// duplicate keys wins. A section name given twice names the first section only: reads,
// listings and writes see that one and leave the later ones alone (only DeleteSection
// removes them all). Lines may end in "\n" or "\r\n"; a NUL byte ends the readable part of
// its line.
// Editing touches only the lines concerned, so comments, order, blank lines and duplicate
// keys stay byte for byte; lines written end in "\r\n".
class CIniFile {
public:
    CIniFile() = default;
    explicit CIniFile(std::string_view bytes);

    std::string Bytes() const;

    // The trimmed value of the first matching entry (quotes kept), or none.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    // Section names in file order, each name once; unnamed sections are left out.
    std::vector<std::string_view> SectionNames() const;
    // The keys of a section in file order, duplicates included.
    std::vector<std::string_view> KeyNames(std::string_view section) const;
    // The lines of a section in file order: "key=value" for each entry, trimmed, and any other
    // line that is neither blank nor a comment as it stands (trimmed of blanks).
    std::vector<std::string> SectionEntries(std::string_view section) const;

    // Each edit returns true when the file's bytes changed.
    // Replaces the first matching entry's line, or adds one after the last non-blank line
    // of the section, or appends the section at the end of the file.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes the first matching entry.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines.
    bool DeleteSection(std::string_view section);
    // Replaces the lines of the first section of that name (or a new one) with the given
    // lines; blank lines closing the old section stay, to keep it apart from the next.
    bool ReplaceSection(std::string_view section, const std::vector<std::string_view>& lines);

    // A value enclosed in matching single or double quotes without them, as the reading
    // calls return it.
    static std::string_view Unquote(std::string_view value);
    static std::string_view Trim(std::string_view text);

private:
    // Text: a line in no other form, neither blank nor a comment (a section lists it).
    enum class Kind { Other, Section, Entry, Text };
    struct Line {
        std::string raw;  // the bytes of the line including its end
        Kind kind = Kind::Other;
        size_t namePos = 0;
        size_t nameLen = 0;
        size_t valuePos = 0;
        size_t valueLen = 0;

        std::string_view Name() const { return std::string_view(raw).substr(namePos, nameLen); }
        std::string_view Value() const { return std::string_view(raw).substr(valuePos, valueLen); }
    };

    static Line ParseLine(std::string raw, bool first);
    static bool SameName(std::string_view a, std::string_view b);
    // Index of the first entry for (section, key), or npos.
    size_t FindEntry(std::string_view section, std::string_view key) const;
    // Index of the first header of the section, or npos.
    size_t FindHeader(std::string_view section) const;
    // The lines of the first section of that name: [first, end), empty when there is none.
    std::pair<size_t, size_t> SectionBody(std::string_view section) const;
    // One past the last line of the section that starts at header.
    size_t SectionEnd(size_t header) const;
    void EnsureLineEnd(size_t index);
    void InsertLine(size_t index, std::string raw);
    void AppendSection(std::string_view section, const std::vector<std::string>& body);

    std::vector<Line> m_lines;
};

}  // namespace plat
