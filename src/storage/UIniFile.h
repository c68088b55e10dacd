#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A profile (INI) file held in memory as its lines, read and updated in place.
//
// Section and key names match ignoring ASCII letter case, the first match winning; blanks
// (spaces and tabs) around names and values are dropped, and one pair of enclosing quotes
// (both double or both single) is removed from a value on reading. Lines that are neither
// "[section]" nor "key=value" (comments, garbage, entries before the first section) are never
// read and are kept untouched, as is every line an update does not concern.
class TIniFile {
public:
    TIniFile() = default;
    // The file's bytes; CR LF, CR and LF each end a line.
    explicit TIniFile(std::string_view bytes);

    // The value of the first matching key in the first matching section, or the default when
    // there is none.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Replaces the line of an existing key by key=value, or inserts key=value after the last
    // entry of the section, or appends the section with the entry at the end of the file. CR and
    // LF in the texts become blanks, so a value can never start a line of its own. A value with
    // blanks at either end or enclosing quotes is written in double quotes, so ReadString gives
    // it back unchanged.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The whole file, CR LF after every line.
    std::string Text() const;

private:
    struct TSection {
        std::string Header; // the "[name]" line as it stood, empty for the lines before any
        std::vector<std::string> Lines;
        // Lower-cased key -> index into Lines of its first entry.
        std::unordered_map<std::string, size_t> Keys;
        // Index into Lines after which a new entry goes: one past the last entry, 0 when none.
        size_t InsertAt = 0;
    };

    void AddLine(std::string line);
    TSection& AppendSection(std::string header, std::string name);

    std::vector<TSection> Sections_{TSection{}};
    // Lower-cased section name -> index into Sections_ of its first occurrence.
    std::unordered_map<std::string, size_t> SectionIndex_;
};
