#pragma once

#include "UPlatform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TRegRoot { rgCurrentUser, rgLocalMachine };

// A fixed set of named, typed settings with declared defaults, loaded from and saved to an INI
// file. The four lists hold "name=value" lines: the declared defaults and, after Load, the
// current values. Names are looked up ignoring letter case, the first match winning.
class TqzRegVal {
public:
    // appFolder ends with '/': the program's folder, used when UseStartUpDir.
    TqzRegVal(IPrompt& prompt, std::string appFolder);

    // Reads every declared entry from the file: Booleans, Floats, Integers, Strings, each in
    // list order. Entries missing from the file, and a missing file, leave the values as they
    // are. An integer or float that cannot be converted is reported through the prompt and keeps
    // its value; a boolean that cannot be converted ends the Load with EConvertError.
    void Load();
    // Writes every declared entry, updating an existing file in place and keeping what it does
    // not own. Raises Exception naming the file when it cannot be read or written; the old
    // file is then unchanged.
    void Save();

    // All raise Exception when the name is not declared.
    bool GetBoolean(std::string_view name) const;
    int32_t GetInteger(std::string_view name) const;
    std::string GetString(std::string_view name) const;
    void SetBoolean(std::string_view name, bool value);
    void SetInteger(std::string_view name, int32_t value);
    // An empty text keeps the entry as "name=".
    void SetString(std::string_view name, std::string_view value);

    // The settings file's path: AppFolder + IniFileName when UseStartUpDir, else IniFileName.
    std::string IniFilePath() const;

    std::string IniFileName;
    // When not empty, prefixes every section name followed by a backslash.
    std::string IniSection;
    bool UseStartUpDir = true;
    // There is no registry on this platform: when true, Load and Save do nothing.
    bool UseRegistry = false;
    TRegRoot RegistryRoot = rgCurrentUser;

    std::vector<std::string> _Booleans;
    std::vector<std::string> _Floats;
    std::vector<std::string> _Integers;
    std::vector<std::string> _Strings;

private:
    std::string SectionName(std::string_view list) const;

    IPrompt& Prompt_;
    std::string AppFolder_;
};

// Declares the application's settings ("vorn.ini" in the program folder) with their defaults.
void DeclareApplicationSettings(TqzRegVal& ini);
