#include "platform/ProcessInfo.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace platform {

std::string ExecutableDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace platform
