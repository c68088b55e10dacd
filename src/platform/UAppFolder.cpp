#include "UAppFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

std::string AppFolderFrom(const char* vornHome, const std::string& programPath) {
    if (vornHome != nullptr && *vornHome != '\0')
        return WithTrailingSlash(vornHome);
    const auto slash = programPath.rfind('/');
    if (slash == std::string::npos)
        return "./";
    return programPath.substr(0, slash + 1);
}

std::string ComputeAppFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return AppFolderFrom(std::getenv("VORN_HOME"), error ? std::string() : program.string());
}
