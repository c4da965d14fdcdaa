#include "platform/SetAside.h"

#include "platform/FileNames.h"
#include "platform/PlatformLog.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

std::optional<std::string> SetAsideFile(const std::string& path)
{
    constexpr int MaxCandidates = 1000;
    for (int n = 0; n < MaxCandidates; ++n) {
        const std::string candidate = SetAsideName(path, n);
        // Without MOVEFILE_REPLACE_EXISTING a name that is taken fails the move.
        if (::MoveFileExW(win32::Widen(path).c_str(), win32::Widen(candidate).c_str(), 0))
            return candidate;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            LogWarning("cannot set " + path + " aside: " + win32::ErrorText(error));
            return std::nullopt;
        }
    }
    LogWarning("cannot set " + path + " aside: every name is taken");
    return std::nullopt;
}

} // namespace platform
