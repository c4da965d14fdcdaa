#include "platform/SetAside.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/FileNames.h"
#include "platform/PlatformLog.h"

namespace platform {
namespace {

constexpr int MaxCandidates = 1000;

// Renames without replacing `to`; EEXIST when it exists.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without it: a hard link fails just as well on a name that is taken.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

} // namespace

std::optional<std::string> SetAsideFile(const std::string& path)
{
    for (int n = 0; n < MaxCandidates; ++n) {
        const std::string candidate = SetAsideName(path, n);
        const int error = RenameNoReplace(path, candidate);
        if (error == 0)
            return candidate;
        if (error != EEXIST) {
            LogWarning("cannot set " + path + " aside: " + std::strerror(error));
            return std::nullopt;
        }
    }
    LogWarning("cannot set " + path + " aside: every name is taken");
    return std::nullopt;
}

} // namespace platform
