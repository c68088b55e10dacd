// The settings file on any bytes. Reading the file's own text gives the same file. Then a value
// is written under the program's own names, under names in another letter case and with blanks
// around them, and under names the file may not have; each reads back unchanged, also after the
// text is read again. The value is the input's last bytes, so that it meets quotes, blanks and
// line breaks.

#include "FuzzCheck.h"
#include "UIniFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kMissing = "\x01(missing)";

struct TName {
    std::string_view Section;
    std::string_view Key;
    // The same entry under the names ReadString is asked with afterwards.
    std::string_view ReadSection;
    std::string_view ReadKey;
};

constexpr TName kNames[] = {
    {"Strings", "sDefaultFontName", "strings", "SDEFAULTFONTNAME"},
    {" Integers\t", " iGridX ", "INTEGERS", "igridx"},
    {"Booleans", "bRandomColor", " booleans ", "\tBRANDOMCOLOR"},
    {"Strings", "sNewEntry", "Strings", "sNewEntry"},
    {"New Section", "key", "new section", "KEY"},
};

// What reading gives back of a written value: a line break cannot be stored and is a blank.
std::string Stored(std::string_view value) {
    std::string stored(value);
    std::replace_if(
        stored.begin(), stored.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return stored;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TIniFile ini(bytes);
    const std::string text = ini.Text();
    const TIniFile again(text);
    Require(again.Text() == text, "the file's text reads back to the same text");
    for (const TName& name : kNames)
        Require(again.ReadString(name.Section, name.Key, kMissing) ==
                    ini.ReadString(name.Section, name.Key, kMissing),
                "the file's text holds the same values");

    const std::string_view value = bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 48));
    const std::string expected = Stored(value);
    for (const TName& name : kNames) {
        ini.WriteString(name.Section, name.Key, value);
        Require(ini.ReadString(name.Section, name.Key, kMissing) == expected,
                "a written value reads back");
        Require(ini.ReadString(name.ReadSection, name.ReadKey, kMissing) == expected,
                "names match in any letter case and without their blanks");
    }
    const TIniFile written(ini.Text());
    for (const TName& name : kNames)
        Require(written.ReadString(name.Section, name.Key, kMissing) == expected,
                "a written value survives the file's text");
    Require(written.Text() == ini.Text(), "the written file reads back to the same text");
    return 0;
}
