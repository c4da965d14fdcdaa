#include "platform/ConsoleRun.h"

#include "platform/CodePage.h"
#include "platform/PlatformLog.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include <windows.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using console::TStreams;
using win32::THandle;

void LogExecuteError(const std::string& reason)
{
    LogWarning("Execute error\r\n" + reason);
}

// The handles the command gets, and no other handle of ours: another thread may be
// starting a command of its own with inheritable handles at the same moment.
class TInheritedHandles {
public:
    explicit TInheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles))
    {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        ready_ = ::InitializeProcThreadAttributeList(list_, 1, 0, &size) &&
                 ::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                             handles_.data(), handles_.size() * sizeof(HANDLE),
                                             nullptr, nullptr);
    }
    ~TInheritedHandles()
    {
        if (ready_)
            ::DeleteProcThreadAttributeList(list_);
    }
    TInheritedHandles(const TInheritedHandles&) = delete;
    TInheritedHandles& operator=(const TInheritedHandles&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return ready_ ? list_ : nullptr; }

private:
    std::vector<HANDLE> handles_;
    std::vector<char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    bool ready_ = false;
};

// Reads whatever the pipe holds now. True once every writer has closed it.
bool Drain(HANDLE pipe, std::string& output)
{
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return true; // ERROR_BROKEN_PIPE: the writers are gone
        if (available == 0)
            return false;
        char buffer[65536];
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr))
            return true;
        output.append(buffer, got);
    }
}

} // namespace

namespace console {

std::optional<std::string> Run(const std::string& command, TStreams streams, int timeoutMs)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    THandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inheritable, 0)) {
        LogExecuteError("CreatePipe error: " + win32::ErrorText(::GetLastError()));
        return std::nullopt;
    }
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    // Nothing on standard input: a command that reads it sees its end at once.
    THandle nothing(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                  0, nullptr));
    const HANDLE errors = streams == TStreams::OutputAndErrors ? writeEnd.Get() : nothing.Get();
    TInheritedHandles inherited({nothing.Get(), writeEnd.Get()});

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = nothing.Get();
    startup.StartupInfo.hStdOutput = writeEnd.Get();
    startup.StartupInfo.hStdError = errors;
    startup.lpAttributeList = inherited.List();
    std::wstring commandLine = win32::Widen(command);
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so that nothing it starts escapes the time limit.
    const DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_NO_WINDOW | CREATE_SUSPENDED |
                        (inherited.List() ? EXTENDED_STARTUPINFO_PRESENT : 0);
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                          nullptr, &startup.StartupInfo, &process)) {
        LogExecuteError(command + ": " + win32::ErrorText(::GetLastError()));
        return std::nullopt;
    }
    THandle child(process.hProcess);
    THandle thread(process.hThread);
    THandle job(::CreateJobObjectW(nullptr, nullptr));
    const bool inJob = job.Valid() && ::AssignProcessToJobObject(job.Get(), child.Get());
    ::ResumeThread(thread.Get());
    // Only the command holds the write end now, so a broken pipe means it closed its side.
    writeEnd.Close();
    nothing.Close();

    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::string output;
    bool endOfOutput = false;
    bool exited = false;
    for (;;) {
        endOfOutput = endOfOutput || Drain(readEnd.Get(), output);
        if (endOfOutput && exited)
            break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        // Anonymous pipes cannot be waited on: look again every few milliseconds.
        const DWORD wait = DWORD(std::min<long long>(left.count(), 10));
        if (exited)
            ::Sleep(wait);
        else
            exited = ::WaitForSingleObject(child.Get(), wait) != WAIT_TIMEOUT;
    }
    if (!(endOfOutput && exited)) {
        LogWarning("Command did not end within " + std::to_string(timeoutMs) +
                   " ms, killed: " + command);
        // The whole job: whatever the command started holds the pipe as well.
        if (!inJob || !::TerminateJobObject(job.Get(), 1))
            ::TerminateProcess(child.Get(), 1);
        ::WaitForSingleObject(child.Get(), 5000);
        Drain(readEnd.Get(), output);
    }
    return output;
}

// The console prints in its OEM code page.
std::string Decode(const std::string& bytes)
{
    return CodePageToUtf8(bytes, ::GetOEMCP());
}

} // namespace console
} // namespace platform
