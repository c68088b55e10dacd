#include "UFileUtil.h"

#include "UConvert.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// The temporary file of a write of `path` by the process `pid`; the number tells the tries
// apart.
std::string TemporaryName(const std::string& path, pid_t pid, int attempt) {
    return path + ".tmp" + std::to_string(pid) + "-" + std::to_string(attempt);
}

// The mode a new file gets from the process's umask (read, not set, so no other thread's new
// file is affected).
mode_t NewFileMode() {
    static const mode_t mode = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0)
                return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
        }
        return static_cast<mode_t>(0644);
    }();
    return mode;
}

QString ToPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

bool FileExists(const std::string& path) {
    const QFileInfo info(ToPath(path));
    return info.exists() && !info.isDir();
}

std::optional<std::string> ReadFileIfExists(const std::string& path) {
    QFile file(ToPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(file.fileName()))
            return std::nullopt;
        throw Exception("Cannot open file \"" + path + "\". " + file.errorString().toStdString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Exception("Cannot read file \"" + path + "\". " + file.errorString().toStdString());
    return bytes.toStdString();
}

std::string ReadFileBytes(const std::string& path) {
    std::optional<std::string> bytes = ReadFileIfExists(path);
    if (!bytes)
        throw Exception("Cannot open file \"" + path + "\". No such file or directory");
    return std::move(*bytes);
}

void RemoveStaleTemporaries(const std::string& folder,
                            const std::function<bool(const std::string& name)>& owned) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        const size_t mark = name.rfind(".tmp");
        const size_t dash = name.find('-', mark);
        if (mark == std::string::npos || mark == 0 || dash == std::string::npos)
            continue;
        int32_t pid = 0;
        int32_t attempt = 0;
        if (!TryStrToInt(std::string_view(name).substr(mark + 4, dash - mark - 4), pid) ||
            !TryStrToInt(std::string_view(name).substr(dash + 1), attempt) || pid <= 0 ||
            attempt < 0 || name != TemporaryName(name.substr(0, mark), pid, attempt) ||
            !owned(name.substr(0, mark)))
            continue;
        if (pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            stale.push_back(name);
    }
    ::closedir(listing);
    for (const std::string& name : stale)
        ::unlink((folder + (folder.ends_with('/') ? "" : "/") + name).c_str());
}

void WriteFileAtomic(const std::string& path, std::string_view bytes, bool sync) {
    const auto fail = [&path](const char* what, int error) {
        throw Exception(std::string(what) + " \"" + path + "\". " + std::strerror(error));
    };
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        fail("Cannot create file", EISDIR);
    // A read-only file means the user does not want it changed; renaming over it would.
    if (exists && (existing.st_mode & S_IWUSR) == 0)
        throw Exception("Cannot create file \"" + path + "\". The file is read-only.");

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = TemporaryName(path, ::getpid(), attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            fail("Cannot create file", errno);
    }
    const auto abandon = [&](const char* what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(what, error);
    };
    if (exists && (existing.st_mode & 07777) != NewFileMode() &&
        ::fchmod(fd, existing.st_mode & 07777) != 0)
        abandon("Cannot create file");
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;
        if (n <= 0)
            abandon("Cannot write file");
        written += static_cast<size_t>(n);
    }
    if (sync && ::fdatasync(fd) != 0)
        abandon("Cannot write file");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("Cannot write file", error);
    }
    // Without a sync, swap the two files instead of renaming over the old one: ext4 flushes a
    // file that replaces another by rename at once, which would cost the sync saved. The old
    // text then has the temporary name and goes.
    if (!sync && exists &&
        ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(temporary.c_str());
        return;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("Cannot write file", error);
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::syncfs(fd);
    ::close(fd);
}

void WriteFilesAtomic(std::vector<TFileWrite>& writes) {
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t i = next++; i < writes.size(); i = next++) {
            try {
                WriteFileAtomic(writes[i].Path, writes[i].Bytes, false);
            } catch (const std::exception& error) {
                writes[i].Error = error.what();
            }
        }
    };
    const size_t helpers = std::min<size_t>(3, writes.size() / 16);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    std::vector<std::string> folders;
    for (const TFileWrite& write : writes) {
        const std::string folder = write.Path.substr(0, write.Path.rfind('/') + 1);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    for (const std::string& folder : folders)
        SyncFolder(folder.empty() ? "." : folder);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string ToCRLF(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::string JoinLinesCRLF(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return QFile::rename(ToPath(from), ToPath(to));
}
