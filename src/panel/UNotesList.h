#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The texts and the text match of the notes list, its find command and undelete.

// The list entry of a note: "Vorn-Chat [n]", else "System Vorn-Note [n]", else "Vorn-Note [n]".
std::string NotesListEntryText(int32_t id, bool isChat, bool isSystemNote);

// Whether the search text occurs in the note text, byte by byte. Without match case only the
// letters A to Z count as their small letters. An empty search text matches no note.
bool NoteMatches(std::string_view noteText, std::string_view searchText, bool matchCase);

// The message after a search without a match, quoting the search text as it was used (in small
// letters without match case).
std::string NoMatchMessage(std::string_view searchText, bool matchCase);

// The message when a deleted note file cannot be renamed back to its note file.
std::string UndeleteRenameFailedMessage(const std::string& from, const std::string& to);

// The message when the name of a deleted note file holds no note number.
std::string UndeleteWithoutNumberMessage(const std::string& file);
