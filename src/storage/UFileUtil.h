#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reading and writing for the data files. Paths and contents are byte strings.

bool FileExists(const std::string& path);

// The whole file; raises Exception naming the file when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// The same, or nothing when there is no such file.
std::optional<std::string> ReadFileIfExists(const std::string& path);

// Writes the whole file to a temporary file in the same folder and renames it over the old one,
// so a crash, a kill or a full disk never leaves a half-written file: the old one survives a
// failed write. A read-only file is refused. Raises Exception naming the file when writing
// fails. With `sync` the data reaches the disk before the rename; a caller writing many files
// may leave that out and call SyncFolder once at the end.
void WriteFileAtomic(const std::string& path, std::string_view bytes, bool sync = true);
// Removes the temporary files that writes of processes killed mid-write left in the folder
// ("<name>.tmp<pid>-<n>" for a name that `owned` accepts and a process that is gone). Those of
// a running process, another copy of the program perhaps, are its writes in progress.
void RemoveStaleTemporaries(const std::string& folder,
                            const std::function<bool(const std::string& name)>& owned);
// Waits until everything written to the file system that holds the folder is on the disk.
void SyncFolder(const std::string& folder);

struct TFileWrite {
    std::string Path;
    std::string Bytes;
    std::string Error; // empty when the file was written
};
// Writes every file as WriteFileAtomic does, several at a time, then syncs once: a thousand
// note files are saved while the disk answers a few requests, not a thousand one by one. A file
// that cannot be written gets its message in Error; the others are written all the same.
void WriteFilesAtomic(std::vector<TFileWrite>& writes);

// The lines of a text: CR LF, CR alone and LF alone each end a line; a final line break adds no
// empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Every line break (CR LF, CR alone, LF alone) turned into CR LF.
std::string ToCRLF(std::string_view text);

// The lines, each followed by CR LF.
std::string JoinLinesCRLF(const std::vector<std::string>& lines);

// Renames a file; false when it could not be renamed (an existing target is not replaced).
bool RenameFile(const std::string& from, const std::string& to);
