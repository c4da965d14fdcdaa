#include "platform/AppDirectory.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/XdgDirectories.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string WithSeparator(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool IsInstalled(const std::string& executableDirectory, const std::string& installMarker)
{
    std::error_code ec;
    const fs::path dir = fs::path(executableDirectory).parent_path(); // drops the separator
    return dir.filename() == "bin" &&
           fs::is_regular_file(fs::path(executableDirectory) / installMarker, ec);
}

// Makes `path` and its missing parents; the last one private to this user.
std::string MakePrivateDirectory(const std::string& path)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return path + ": " + std::strerror(errno);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return path + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return path + ": " + std::strerror(ENOTDIR);
    if (::access(path.c_str(), W_OK | X_OK) != 0)
        return path + ": " + std::strerror(errno);
    return {};
}

} // namespace

TAppDirectory ResolveAppDirectory(const std::string& executableDirectory,
                                  const std::string& dataName, const std::string& installMarker)
{
    TAppDirectory result;
    result.Installed = IsInstalled(executableDirectory, installMarker) ||
                       ::access(executableDirectory.c_str(), W_OK) != 0;
    if (!result.Installed) {
        result.Path = WithSeparator(executableDirectory);
        return result;
    }
    const std::string dataHome = XdgBaseDirectory("XDG_DATA_HOME", ".local/share");
    if (dataHome.empty()) {
        result.Problem = "no home directory";
    } else {
        const std::string dir = WithSeparator(dataHome) + dataName;
        result.Problem = MakePrivateDirectory(dir);
        if (result.Problem.empty()) {
            result.Path = WithSeparator(dir);
            return result;
        }
    }
    std::string scratch = (fs::temp_directory_path() / (dataName + "-XXXXXX")).string();
    if (::mkdtemp(scratch.data()))
        result.Path = WithSeparator(scratch);
    return result;
}

} // namespace platform
