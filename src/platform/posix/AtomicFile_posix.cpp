#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileNames.h"
#include "platform/PlatformLog.h"

namespace platform {
namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return LastError();
        content.remove_prefix(size_t(written));
    }
    return {};
}

// Directory and file name of `path`; the directory is "." for a bare name.
std::pair<std::string, std::string> Split(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The rename is only on disk once its directory is. A failure is only logged: the new
// content is in place either way.
void SyncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || (::fsync(fd) != 0 && errno != EINVAL))
        LogWarning("cannot sync " + directory + ": " + std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
}

} // namespace

std::error_code WriteFileAtomically(const std::string& path, std::string_view content,
                                    unsigned mode)
{
    std::string temporary = path + TemporaryInfix + std::string(TemporaryRandomLength, 'X');
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return LastError();
    std::error_code error = WriteAll(fd, content);
    if (!error && ::fchmod(fd, mode_t(mode)) != 0)
        error = LastError();
    if (!error && ::fsync(fd) != 0)
        error = LastError();
    if (::close(fd) != 0 && !error)
        error = LastError();
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = LastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncDirectory(Split(path).first);
    return {};
}

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view content)
{
    struct stat existing = {};
    const unsigned mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    return WriteFileAtomically(path, content, mode);
}

int RemoveStaleTemporaries(const std::string& path)
{
    const auto [directory, name] = Split(path);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryOf(name, entry->d_name))
            continue;
        const std::string stale = directory + "/" + entry->d_name;
        if (::unlink(stale.c_str()) == 0)
            ++removed;
        else
            LogWarning("cannot remove " + stale + ": " + std::strerror(errno));
    }
    ::closedir(dir);
    return removed;
}

} // namespace platform
