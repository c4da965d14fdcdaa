#include "platform/ProcessInfo.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WideText.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

namespace platform {

std::string ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return win32::Narrow(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2); // cut short: a long path
    }
}

std::string ExecutableDirectory()
{
    const std::string exe = ExecutablePath();
    const size_t separator = exe.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : exe.substr(0, separator + 1);
}

bool RunningAsRoot()
{
    win32::THandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation,
                                 &size) &&
           elevation.TokenIsElevated != 0;
}

std::vector<std::string> ProcessArguments(int argc, char* argv[])
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(win32::Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

} // namespace platform
