#include "qzRegVal.h"

#include "UConvert.h"
#include "UFileUtil.h"
#include "UIniFile.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

namespace {

std::string_view NameOf(std::string_view line) {
    return line.substr(0, line.find('='));
}

std::string_view ValueOf(std::string_view line) {
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
}

void SetValue(std::string& line, std::string_view value) {
    line = std::string(NameOf(line)) + "=" + std::string(value);
}

std::optional<size_t> Find(const std::vector<std::string>& list, std::string_view name) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (SameTextAscii(NameOf(list[i]), name))
            return i;
    }
    return std::nullopt;
}

size_t FindOrThrow(const std::vector<std::string>& list, std::string_view kind,
                   std::string_view name) {
    const std::optional<size_t> index = Find(list, name);
    if (!index)
        throw Exception(std::string(kind) + " Field \"" + std::string(name) + "\" not found");
    return *index;
}

// Decimal floating-point text and nothing else; no infinities or NaNs.
bool TryStrToFloat(std::string_view text, double& value) {
    double result = 0;
    const char* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, result, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

// The shortest text that reads back as the same value.
std::string FloatToStr(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The current value of a declared float or integer; a declaration that is none raises.
double DeclaredFloat(const std::vector<std::string>& list, size_t index) {
    double value = 0;
    const std::string_view text = ValueOf(list[index]);
    if (!TryStrToFloat(text, value))
        throw Exception("Error in conversion of float[" + std::to_string(index) + "], Value = \"" +
                        std::string(text) + "\"");
    return value;
}

int32_t DeclaredInteger(const std::vector<std::string>& list, size_t index) {
    int32_t value = 0;
    const std::string_view text = ValueOf(list[index]);
    if (!TryStrToInt(text, value))
        throw Exception("Error in conversion of integer[" + std::to_string(index) +
                        "], Value = \"" + std::string(text) + "\"");
    return value;
}

std::string ReadErrorText(std::string_view kind, const std::string& section, std::string_view name,
                          const std::string& text, const std::string& current) {
    return "Error reading " + std::string(kind) + " value \"" + section + "\\" + std::string(name) +
           "\". Value = \"" + text + "\". Value set to " + current;
}

} // namespace

TqzRegVal::TqzRegVal(IPrompt& prompt, std::string appFolder)
    : Prompt_(prompt), AppFolder_(std::move(appFolder)) {}

std::string TqzRegVal::IniFilePath() const {
    return UseStartUpDir ? AppFolder_ + IniFileName : IniFileName;
}

std::string TqzRegVal::SectionName(std::string_view list) const {
    return IniSection.empty() ? std::string(list) : IniSection + "\\" + std::string(list);
}

void TqzRegVal::Load() {
    if (UseRegistry)
        return;
    const std::string path = IniFilePath();
    if (!FileExists(path))
        return;
    // A file that exists but cannot be read raises instead of leaving the program quietly on
    // its defaults.
    const TIniFile file(ReadFileBytes(path));

    const std::string booleans = SectionName("Booleans");
    for (std::string& line : _Booleans) {
        const std::string text = file.ReadString(booleans, NameOf(line), "");
        if (!text.empty())
            SetValue(line, StrToBool(text) ? "1" : "0");
    }

    const std::string floats = SectionName("Floats");
    for (size_t i = 0; i < _Floats.size(); ++i) {
        const double current = DeclaredFloat(_Floats, i);
        const std::string text = file.ReadString(floats, NameOf(_Floats[i]), "");
        if (text.empty())
            continue;
        double value = 0;
        if (TryStrToFloat(text, value))
            SetValue(_Floats[i], FloatToStr(value));
        else
            Prompt_.ShowMessage(
                ReadErrorText("Float", floats, NameOf(_Floats[i]), text, FloatToStr(current)));
    }

    const std::string integers = SectionName("Integers");
    for (size_t i = 0; i < _Integers.size(); ++i) {
        const int32_t current = DeclaredInteger(_Integers, i);
        const std::string text = file.ReadString(integers, NameOf(_Integers[i]), "");
        if (text.empty())
            continue;
        int64_t value = 0;
        if (TryStrToInt64(text, value))
            SetValue(_Integers[i],
                     std::to_string(static_cast<int32_t>(static_cast<uint32_t>(value))));
        else
            Prompt_.ShowMessage(ReadErrorText("Integer", integers, NameOf(_Integers[i]), text,
                                              std::to_string(current)));
    }

    const std::string strings = SectionName("Strings");
    for (std::string& line : _Strings)
        SetValue(line, file.ReadString(strings, NameOf(line), ValueOf(line)));
}

void TqzRegVal::Save() {
    if (UseRegistry)
        return;
    const std::string path = IniFilePath();
    TIniFile file;
    // An existing file is read whole before anything is written: one that cannot be read raises
    // here, so it is never replaced by a file that lacks what it held besides our entries.
    if (FileExists(path))
        file = TIniFile(ReadFileBytes(path));

    const std::string booleans = SectionName("Booleans");
    for (const std::string& line : _Booleans)
        file.WriteString(booleans, NameOf(line), ValueOf(line) != "0" ? "1" : "0");

    const std::string floats = SectionName("Floats");
    for (size_t i = 0; i < _Floats.size(); ++i) {
        DeclaredFloat(_Floats, i);
        file.WriteString(floats, NameOf(_Floats[i]), ValueOf(_Floats[i]));
    }

    const std::string integers = SectionName("Integers");
    for (size_t i = 0; i < _Integers.size(); ++i)
        file.WriteString(integers, NameOf(_Integers[i]),
                         std::to_string(DeclaredInteger(_Integers, i)));

    const std::string strings = SectionName("Strings");
    for (const std::string& line : _Strings)
        file.WriteString(strings, NameOf(line), ValueOf(line));

    // Written to a temporary file and renamed over the old one: a failed write raises and never
    // leaves a truncated settings file.
    WriteFileAtomic(path, file.Text());
}

bool TqzRegVal::GetBoolean(std::string_view name) const {
    return ValueOf(_Booleans[FindOrThrow(_Booleans, "Boolean", name)]) != "0";
}

int32_t TqzRegVal::GetInteger(std::string_view name) const {
    const std::string_view text = ValueOf(_Integers[FindOrThrow(_Integers, "Integer", name)]);
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw Exception("Error in conversion of integer \"" + std::string(name) + "\", Value = \"" +
                        std::string(text) + "\"");
    return value;
}

std::string TqzRegVal::GetString(std::string_view name) const {
    return std::string(ValueOf(_Strings[FindOrThrow(_Strings, "String", name)]));
}

void TqzRegVal::SetBoolean(std::string_view name, bool value) {
    SetValue(_Booleans[FindOrThrow(_Booleans, "Boolean", name)], value ? "1" : "0");
}

void TqzRegVal::SetInteger(std::string_view name, int32_t value) {
    SetValue(_Integers[FindOrThrow(_Integers, "Integer", name)], std::to_string(value));
}

void TqzRegVal::SetString(std::string_view name, std::string_view value) {
    SetValue(_Strings[FindOrThrow(_Strings, "String", name)], value);
}

void DeclareApplicationSettings(TqzRegVal& ini) {
    ini.IniFileName = "vorn.ini";
    ini.IniSection.clear();
    ini.UseStartUpDir = true;
    ini.UseRegistry = false;
    ini._Booleans = {
        "bRandomColor=1",  "bSnapGrid=0",     "bSnapEdges=1",       "bSnapNotes=0",
        "bStartup=0",      "bBringToFront=0", "bRemoveStayOnTop=0", "bPLayWAV1=0",
        "bPlayWAV2=0",     "bWinXPShadow=1",  "bNetworking=0",      "bConfirmDeletes=1",
        "bShowReadOnly=1", "bShowOnTop=1",
    };
    ini._Floats.clear();
    ini._Integers = {
        "iLastX=100",         "iLastY=100",          "iGridX=8",        "iGridY=8",
        "iDefaultFontSize=8", "iDefaultFontColor=0", "iSnapDistance=8",
    };
    ini._Strings = {
        "sDefaultFontName=MS Sans Serif",
        "sIdentity=",
        "sWAVFilename1=",
        "sWAVFilename2=",
        "sLastSend=",
        "sLastImportDir=",
        "sLastExportDir=",
        "sICODir=",
        "sTrayIcon=",
        "sNotesTitle=Vorn [$id$]",
        "sPort=56784",
    };
}
