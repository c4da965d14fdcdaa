#include "platform/PlatformLog.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

void LogWarning(std::string_view message)
{
    // The debugger's output channel, where the client has always written its failures.
    const std::wstring line = L"quillmark.platform: " + win32::Widen(message) + L"\r\n";
    ::OutputDebugStringW(line.c_str());
}

} // namespace platform
