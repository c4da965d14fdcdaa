#include "platform/ProcessInfo.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace platform {

std::string ExecutablePath()
{
    std::error_code ec;
    std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec)
        return {};
    // An executable replaced while it runs (by the updater) reads as "PATH (deleted)";
    // PATH is then the new one, which is what a later start should run.
    constexpr std::string_view Deleted = " (deleted)";
    if (exe.ends_with(Deleted))
        exe.resize(exe.size() - Deleted.size());
    return exe;
}

std::string ExecutableDirectory()
{
    const std::string exe = ExecutablePath();
    if (exe.empty())
        return {};
    std::string dir = std::filesystem::path(exe).parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

std::vector<std::string> ProcessArguments(int argc, char* argv[])
{
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace platform
