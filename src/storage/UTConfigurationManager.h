#pragma once

#include "UTNoteConfig.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class IClock;
class IPrompt;

// The note store: every note's record, kept in the notes index file. Records stay in load, then
// creation order and are never removed during a run (deleted notes keep theirs for undelete).
// Keys need not be unique; lookups find the first record added under a number.
class TConfigurationManager {
public:
    using TDefaultsSource = std::function<TNoteDefaults()>;

    // Keeps the path and loads the index at once (see Load). `defaults` gives what records
    // missing attributes take.
    TConfigurationManager(std::string fileName, TDefaultsSource defaults);

    // Appends a record under the decimal text of the number.
    TNoteConfig& Add(int32_t id, TNoteConfig config);
    // The first record added under the number, or null. Not a scan: the index may hold tens of
    // thousands of records.
    TNoteConfig* Get(int32_t id);
    bool Contains(int32_t id) const;

    // Reads the index; a missing one is written empty. Raises Exception on a parse error, a
    // missing or misnamed root, or an attribute that does not convert; the file is left as it is.
    void Load();
    // Writes every record, atomically; raises Exception when the file cannot be written.
    void Save() const;

    // The index text: declaration, empty line, <vorn>, one line per record, </vorn>, each line
    // ended by CR LF.
    std::string IndexText() const;

    const std::string FileName;
    const std::vector<std::pair<std::string, std::unique_ptr<TNoteConfig>>>& Records() const {
        return Records_;
    }

private:
    TDefaultsSource Defaults_;
    std::vector<std::pair<std::string, std::unique_ptr<TNoteConfig>>> Records_;
    // Keys are always the decimal text of a number, so the number itself indexes them.
    std::unordered_map<int32_t, TNoteConfig*> FirstByKey_;
};

// Opens the store. A notes index that cannot be read is never overwritten: it is renamed to
// "<index>.unreadable-YYYYMMDD-HHMMSS" (with a counter when that name is taken), the user is
// told the load error and the kept file's name, and the store starts empty. Raises Exception
// only when the unreadable file cannot be set aside.
std::unique_ptr<TConfigurationManager>
OpenNoteStore(const std::string& fileName, TConfigurationManager::TDefaultsSource defaults,
              IPrompt& prompt, const IClock& clock);
