#include "UIniFile.h"

#include "UConvert.h"
#include "UFileUtil.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The name of a "[name]" line; false for any other line.
bool ParseSectionHeader(std::string_view line, std::string_view& name) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[')
        return false;
    const size_t close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

// The key and raw value of a "key=value" line; false for comments and other lines.
bool ParseEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return false;
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = TrimBlanks(trimmed.substr(0, equals));
    value = TrimBlanks(trimmed.substr(equals + 1));
    return !key.empty();
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Reading drops blanks at the ends and one pair of enclosing quotes; a value that would lose
// them is written inside double quotes so that it reads back as written.
std::string Protected(std::string value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || quoted))
        return '"' + value + '"';
    return value;
}

std::string OneLine(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return result;
}

} // namespace

TIniFile::TIniFile(std::string_view bytes) {
    for (std::string& line : SplitLines(bytes))
        AddLine(std::move(line));
}

void TIniFile::AddLine(std::string line) {
    std::string_view name;
    if (ParseSectionHeader(line, name)) {
        std::string lowered = LowerCaseAscii(name);
        AppendSection(std::move(line), std::move(lowered));
        return;
    }
    TSection& section = Sections_.back();
    std::string_view key;
    std::string_view value;
    if (ParseEntry(line, key, value)) {
        section.Keys.emplace(LowerCaseAscii(key), section.Lines.size());
        section.InsertAt = section.Lines.size() + 1;
    }
    section.Lines.push_back(std::move(line));
}

TIniFile::TSection& TIniFile::AppendSection(std::string header, std::string name) {
    // emplace keeps the first section of a name; later ones are never read or written.
    SectionIndex_.emplace(std::move(name), Sections_.size());
    Sections_.push_back(TSection{});
    Sections_.back().Header = std::move(header);
    return Sections_.back();
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const auto found = SectionIndex_.find(LowerCaseAscii(TrimBlanks(section)));
    if (found == SectionIndex_.end())
        return std::string(defaultValue);
    const TSection& lines = Sections_[found->second];
    const auto entry = lines.Keys.find(LowerCaseAscii(TrimBlanks(key)));
    if (entry == lines.Keys.end())
        return std::string(defaultValue);
    std::string_view name;
    std::string_view value;
    ParseEntry(lines.Lines[entry->second], name, value);
    return std::string(Unquote(value));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName(TrimBlanks(OneLine(section)));
    const std::string keyName(TrimBlanks(OneLine(key)));
    std::string line = keyName + "=" + Protected(OneLine(value));

    const auto found = SectionIndex_.find(LowerCaseAscii(sectionName));
    TSection& target = found != SectionIndex_.end()
                           ? Sections_[found->second]
                           : AppendSection("[" + sectionName + "]", LowerCaseAscii(sectionName));
    const std::string lowered = LowerCaseAscii(keyName);
    const auto entry = target.Keys.find(lowered);
    if (entry != target.Keys.end()) {
        target.Lines[entry->second] = std::move(line);
        return;
    }
    // Only non-entry lines follow InsertAt, so the indices in Keys stay valid.
    target.Lines.insert(target.Lines.begin() + static_cast<std::ptrdiff_t>(target.InsertAt),
                        std::move(line));
    target.Keys.emplace(lowered, target.InsertAt);
    ++target.InsertAt;
}

std::string TIniFile::Text() const {
    std::string text;
    for (const TSection& section : Sections_) {
        if (!section.Header.empty())
            text.append(section.Header).append("\r\n");
        text.append(JoinLinesCRLF(section.Lines));
    }
    return text;
}
