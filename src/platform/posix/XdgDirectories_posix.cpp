#include "platform/XdgDirectories.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

// $HOME, else the password database's entry for this user.
std::string HomeDirectory()
{
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home))
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        IsAbsolute(found->pw_dir))
        return found->pw_dir;
    return {};
}

} // namespace

std::string XdgBaseDirectory(const char* variable, const char* underHome)
{
    const char* value = std::getenv(variable);
    if (IsAbsolute(value))
        return value;
    const std::string home = HomeDirectory();
    if (home.empty())
        return {};
    return home + (home.back() == '/' ? "" : "/") + underHome;
}

std::string XdgConfigHome()
{
    return XdgBaseDirectory("XDG_CONFIG_HOME", ".config");
}

} // namespace platform
