#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where notes live: the notes folder beside the notes index, one text file per note named by
// its number ("vornnote0007.txt"), and ".~txt" for a deleted note. Every path is built from the
// program folder, which ends with '/'.

// The number right-aligned in at least `width` characters with blanks turned into zeros
// (7 -> "0007", -5 -> "00-5").
std::string PadNumber(int32_t number, int width);

std::string NotesFolder(const std::string& appFolder);
std::string NoteFileName(const std::string& appFolder, int32_t id);
std::string DeletedNoteFileName(const std::string& appFolder, int32_t id);

// Renames the note file to its deleted name. A deleted file already there is kept under the
// first free name "vornnote0007.1.~txt", "vornnote0007.2.~txt" ..., which still names the same
// note. False when there is no note file or a rename fails; nothing is overwritten.
bool MoveNoteFileToDeleted(const std::string& appFolder, int32_t id);

// Names (without folder) of the live ("vornnote*.txt") or deleted ("vornnote*.~txt") note files,
// matched ignoring letter case, in the order the folder listing gives them.
std::vector<std::string> ListNoteFiles(const std::string& appFolder, bool deleted);

// The note number a file name stands for, or -1 when it is not a note file name. Only the
// part after the last '/' counts.
int32_t NoteIdFromFileName(const std::string& fileName);

// The note numbers of one run. Start-up raises HighestNoteId to the highest number of any note
// file or deleted note file; new notes take the numbers above it.
class TNoteCounter {
public:
    int32_t HighestNoteId() const { return Highest_; }
    void Raise(int32_t id);
    // The next number; raises Exception when every number is used up.
    int32_t NextNoteId();

private:
    int32_t Highest_ = 0;
};
