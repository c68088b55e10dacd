#include "UNotesList.h"

#include "UConvert.h"

#include <algorithm>

namespace {

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string NotesListEntryText(int32_t id, bool isChat, bool isSystemNote) {
    const char* kind = isChat ? "Vorn-Chat [" : isSystemNote ? "System Vorn-Note [" : "Vorn-Note [";
    return kind + std::to_string(id) + "]";
}

bool NoteMatches(std::string_view noteText, std::string_view searchText, bool matchCase) {
    if (searchText.empty())
        return false;
    if (matchCase)
        return noteText.find(searchText) != std::string_view::npos;
    return std::search(noteText.begin(), noteText.end(), searchText.begin(), searchText.end(),
                       [](char a, char b) { return LowerAscii(a) == LowerAscii(b); }) !=
           noteText.end();
}

std::string NoMatchMessage(std::string_view searchText, bool matchCase) {
    const std::string used = matchCase ? std::string(searchText) : LowerCaseAscii(searchText);
    return "Searched all notes and did not find \"" + used + "\"";
}

std::string UndeleteRenameFailedMessage(const std::string& from, const std::string& to) {
    return "Cannot rename file " + from + " to \r\n" + to + ".\r\nWill create a new note";
}

std::string UndeleteWithoutNumberMessage(const std::string& file) {
    return "The name of the file \"" + file + "\" holds no note number.\r\n" +
           "The file will be opened as a new note.";
}
