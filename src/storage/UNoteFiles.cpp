#include "UNoteFiles.h"

#include "UConvert.h"
#include "UFileUtil.h"

#include <QDir>

#include <algorithm>
#include <limits>

std::string PadNumber(int32_t number, int width) {
    std::string text = std::to_string(number);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string NotesFolder(const std::string& appFolder) {
    return appFolder + "vornnotes";
}

std::string NoteFileName(const std::string& appFolder, int32_t id) {
    return NotesFolder(appFolder) + "/vornnote" + PadNumber(id, 4) + ".txt";
}

std::string DeletedNoteFileName(const std::string& appFolder, int32_t id) {
    return NotesFolder(appFolder) + "/vornnote" + PadNumber(id, 4) + ".~txt";
}

bool MoveNoteFileToDeleted(const std::string& appFolder, int32_t id) {
    const std::string live = NoteFileName(appFolder, id);
    const std::string deleted = DeletedNoteFileName(appFolder, id);
    if (!FileExists(live))
        return false;
    if (FileExists(deleted)) {
        const std::string stem = NotesFolder(appFolder) + "/vornnote" + PadNumber(id, 4) + ".";
        int spare = 1;
        while (FileExists(stem + std::to_string(spare) + ".~txt"))
            ++spare;
        if (!RenameFile(deleted, stem + std::to_string(spare) + ".~txt"))
            return false;
    }
    return RenameFile(live, deleted);
}

std::vector<std::string> ListNoteFiles(const std::string& appFolder, bool deleted) {
    const QDir folder(QFile::decodeName(QByteArray::fromStdString(NotesFolder(appFolder))));
    const QStringList filter{deleted ? QStringLiteral("vornnote*.~txt")
                                     : QStringLiteral("vornnote*.txt")};
    // Hidden and system entries count; folders are no note files. Without QDir::CaseSensitive
    // the pattern ignores letter case.
    const QStringList names =
        folder.entryList(filter, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names)
        result.push_back(QFile::encodeName(name).toStdString());
    return result;
}

int32_t NoteIdFromFileName(const std::string& fileName) {
    const size_t slash = fileName.rfind('/');
    const std::string name =
        LowerCaseAscii(slash == std::string::npos ? fileName : fileName.substr(slash + 1));
    const std::string prefix = "vornnote";
    if (name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return -1;
    const std::string extension = name.substr(dot);
    if (extension != ".txt" && extension != ".~txt")
        return -1;
    std::string rest = name.substr(prefix.size());
    rest = rest.substr(0, rest.find('.'));
    int32_t id = -1;
    return TryStrToInt(rest, id) ? id : -1;
}

void TNoteCounter::Raise(int32_t id) {
    Highest_ = std::max(Highest_, id);
}

int32_t TNoteCounter::NextNoteId() {
    if (Highest_ == std::numeric_limits<int32_t>::max())
        throw Exception("No note number is left: a note file carries the highest number there is.");
    return ++Highest_;
}
