#include "platform/Autostart.h"

#include "platform/win32/WideText.h"

#include <cwctype>

#include <windows.h>
// The step of the portable header, not the Windows call.
#undef CreateDirectory

namespace platform {
namespace {

using Step = AutostartFailure::Step;

// The current user's Run key: no administrator rights needed, unlike the machine's.
constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::error_code Error(LSTATUS status)
{
    return {int(status), std::system_category()};
}

bool SamePath(std::wstring a, std::wstring b)
{
    // Windows paths are compared without regard to case.
    for (auto* s : {&a, &b})
        for (wchar_t& c : *s)
            c = wchar_t(std::towlower(c));
    return a == b;
}

} // namespace

std::string AutostartEntryPath(const std::string& name)
{
    return "HKEY_CURRENT_USER\\" + win32::Narrow(RunKey) + "\\" + name;
}

bool AutostartEntryStarts(const std::string& name, const std::string& executable)
{
    wchar_t data[MAX_PATH * 4] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, RunKey, win32::Widen(name).c_str(),
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data,
                       &size) != ERROR_SUCCESS)
        return false;
    std::wstring value(data);
    // An entry written by hand may quote the path.
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
        value = value.substr(1, value.size() - 2);
    return SamePath(value, win32::Widen(executable));
}

std::optional<AutostartFailure> SetAutostartEntry(const std::string& name, const std::string&,
                                                  const std::string& executable, bool enable)
{
    const std::string path = AutostartEntryPath(name);
    HKEY key = nullptr;
    if (const LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0,
                                                 KEY_SET_VALUE, nullptr, &key, nullptr);
        status != ERROR_SUCCESS)
        return AutostartFailure{Step::CreateDirectory, path.substr(0, path.rfind('\\')),
                                Error(status)};
    const std::wstring value = win32::Widen(name);
    std::optional<AutostartFailure> failure;
    if (enable) {
        // The executable's full path, as it is: the Run key starts it with no arguments.
        const std::wstring data = win32::Widen(executable);
        if (const LSTATUS status = ::RegSetValueExW(key, value.c_str(), 0, REG_SZ,
                                                    reinterpret_cast<const BYTE*>(data.c_str()),
                                                    DWORD((data.size() + 1) * sizeof(wchar_t)));
            status != ERROR_SUCCESS)
            failure = AutostartFailure{Step::WriteEntry, path, Error(status)};
    } else if (const LSTATUS status = ::RegDeleteValueW(key, value.c_str());
               status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        failure = AutostartFailure{Step::RemoveEntry, path, Error(status)};
    }
    ::RegCloseKey(key);
    return failure;
}

} // namespace platform
