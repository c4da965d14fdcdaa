#include "platform/DetachedProcess.h"

#include "platform/ConsoleQuote.h"
#include "platform/PlatformLog.h"
#include "platform/win32/WideText.h"

#include <filesystem>

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

namespace platform {

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, std::string* error)
{
    std::string line;
    for (const std::string& argument : arguments)
        line += (line.empty() ? "" : " ") + QuoteArgument(argument);
    const std::wstring parameters = win32::Widen(line);
    // As on the other systems, a relative program counts from the directory it runs in.
    std::filesystem::path file(win32::Widen(program));
    if (file.is_relative() && !workingDirectory.empty())
        file = std::filesystem::path(win32::Widen(workingDirectory)) / file;
    const std::wstring directory = win32::Widen(workingDirectory);

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No message box of the shell's own, and the start is done when this returns.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    const std::wstring fileText = file.wstring();
    info.lpFile = fileText.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info))
        return true;
    const std::string reason = win32::ErrorText(::GetLastError());
    LogWarning("Cannot start " + program + ": " + reason);
    if (error)
        *error = reason;
    return false;
}

} // namespace platform
