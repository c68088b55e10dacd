#pragma once

#include <string>

// The program's start-at-login entry: an XDG autostart desktop entry named "vorn.desktop".

// The autostart folder with a trailing '/': $XDG_CONFIG_HOME/autostart/, or
// $HOME/.config/autostart/ when XDG_CONFIG_HOME is unset, empty or not an absolute path (the
// home folder of the password database when HOME is not absolute either). Empty when no home
// folder can be found.
std::string AutostartFolder();

// The desktop entry that starts `program` (its full path) at login, with `description` as its
// comment.
std::string AutostartEntryText(const std::string& program, const std::string& description);

// Writes "vorn.desktop" into the folder, creating the folder when it is missing; an existing
// entry is replaced whole or, on failure, left as it was. False when the entry could not be
// written or the folder is empty; never throws.
bool WriteAutostartEntry(const std::string& folder, const std::string& program,
                         const std::string& description);

// Deletes "vorn.desktop" from the folder when it is there; failures are ignored.
void RemoveAutostartEntry(const std::string& folder);
