#include "UAutostart.h"

#include "UProduct.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

constexpr const char* EntryName = "vorn.desktop";

// The path without any trailing '/', so "/" becomes empty and a name can be joined with '/'.
std::string WithoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string EntryPath(const std::string& folder) {
    return WithoutTrailingSlashes(folder) + "/" + EntryName;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid());
        user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/')
        return user->pw_dir;
    return {};
}

// The escapes of a string value in a desktop entry.
std::string EscapeValue(std::string_view text) {
    std::string result;
    for (const char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result;
}

// One argument of an Exec line: quoted when it holds a blank or a reserved character, with
// '"', '`', '$' and '\' escaped inside the quotes, and '%' doubled so it is no field code. The
// value escapes are applied on top by the caller.
std::string ExecArgument(std::string_view argument) {
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quote =
        argument.empty() || argument.find_first_of(reserved) != std::string_view::npos;
    std::string result;
    if (quote)
        result += '"';
    for (const char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            result += '\\';
        if (c == '%')
            result += '%';
        result += c;
    }
    if (quote)
        result += '"';
    return result;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

std::string AutostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored like an empty one.
    if (config != nullptr && config[0] == '/')
        return WithoutTrailingSlashes(config) + "/autostart/";
    const std::string home = HomeFolder();
    if (home.empty())
        return {};
    return WithoutTrailingSlashes(home) + "/.config/autostart/";
}

std::string AutostartEntryText(const std::string& program, const std::string& description) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vorn\n"
           "Icon=" +
           std::string(ProductIconName) +
           "\n"
           "Comment=" +
           EscapeValue(description) +
           "\n"
           "Exec=" +
           EscapeValue(ExecArgument(program)) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool WriteAutostartEntry(const std::string& folder, const std::string& program,
                         const std::string& description) {
    if (folder.empty())
        return false;
    try {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            return false;
        const std::string path = EntryPath(folder);
        const std::string text = AutostartEntryText(program, description);

        std::string temporary;
        int fd = -1;
        for (int attempt = 0; fd < 0; ++attempt) {
            temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0 && (errno != EEXIST || attempt >= 100))
                return false;
        }
        const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
        const bool closed = ::close(fd) == 0;
        if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
            ::unlink(temporary.c_str());
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

void RemoveAutostartEntry(const std::string& folder) {
    if (folder.empty())
        return;
    try {
        // unlink, unlike std::filesystem::remove, never takes away a folder of that name.
        ::unlink(EntryPath(folder).c_str());
    } catch (...) {
    }
}
