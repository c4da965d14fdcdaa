#include "platform/InstanceLock.h"

#include "core/HandOver.h"

#include <algorithm>

#include <windows.h>

namespace platform {
namespace {

// What the running client's main window does on a second start: show itself.
constexpr UINT ShowMainWindowMessage = 2027;

std::wstring MutexName(const std::string& name)
{
    // A name without a prefix lives in the logon session's own namespace: one client per
    // user logon, as on a terminal server.
    return std::wstring(name.begin(), name.end());
}

} // namespace

InstanceLock::InstanceLock(const std::string& name)
{
    lockPath_ = name;
    // Owned from the start; only its existence matters, nobody waits on it. The system
    // closes it when the process ends, however it ends.
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, MutexName(name).c_str());
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex == nullptr) {
        acquired_ = true; // no marker at all: go on as the first instance
        return;
    }
    if (existed) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
        return;
    }
    held_ = reinterpret_cast<std::intptr_t>(mutex);
    acquired_ = true;
}

InstanceLock::~InstanceLock()
{
    if (held_ != -1) {
        ::ReleaseMutex(reinterpret_cast<HANDLE>(held_));
        ::CloseHandle(reinterpret_cast<HANDLE>(held_));
    }
}

std::optional<std::string> SendToRunningInstance(const std::string&, const std::string& line,
                                                 int timeoutMs)
{
    const auto handOver = core::ParseHandOver(line);
    if (!handOver || handOver->Handle <= 0)
        return std::nullopt;
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(handOver->Handle));
    if (!::IsWindow(window))
        return std::nullopt;
    if (handOver->Command.What == core::ClientCommand::Kind::ShowWindow)
        return ::PostMessageW(window, ShowMainWindowMessage, 0, 0)
                   ? std::optional<std::string>(core::HandOverDone)
                   : std::nullopt;
    // Anything more than showing needs its text and an answer: the line travels as
    // WM_COPYDATA, and the window's result (1: done) is the answer.
    COPYDATASTRUCT data{ShowMainWindowMessage, DWORD(line.size()), const_cast<char*>(line.data())};
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, UINT(std::max(timeoutMs, 0)),
                               &result))
        return std::nullopt;
    return std::string(result == 1 ? core::HandOverDone : core::HandOverIgnored);
}

} // namespace platform
