#include "platform/XdgDirectories.h"

#include "platform/win32/WideText.h"

#include <cctype>

#include <windows.h>

namespace platform {
namespace {

// "C:\...", "C:/..." or a UNC path "\\server\...".
bool IsAbsolute(const std::string& path)
{
    return (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
            path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           path.starts_with("\\\\");
}

std::string Variable(const char* name)
{
    const std::wstring wide = win32::Widen(name);
    const DWORD size = ::GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wide.c_str(), value.data(), size);
    value.resize(length);
    return win32::Narrow(value);
}

} // namespace

std::string XdgBaseDirectory(const char* variable, const char* underHome)
{
    const std::string value = Variable(variable);
    if (IsAbsolute(value))
        return value;
    const std::string home = Variable("USERPROFILE");
    if (!IsAbsolute(home))
        return {};
    return home + (home.back() == '\\' ? "" : "\\") + underHome;
}

std::string XdgConfigHome()
{
    return XdgBaseDirectory("XDG_CONFIG_HOME", ".config");
}

} // namespace platform
