#include "platform/DescendantProcesses.h"

#include "platform/ProcessEnding.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <cctype>
#include <map>

#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

namespace platform {
namespace {

using win32::THandle;

struct TProcess {
    int Pid = 0;
    int Parent = 0;
    std::string Program;
};

// Creation time in 100 ns steps; 0 when the process is gone or not ours to look at.
unsigned long long StartOf(int pid)
{
    THandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid)));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process.Valid() || !::GetProcessTimes(process.Get(), &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::vector<TProcess> AllProcesses()
{
    std::vector<TProcess> processes;
    THandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!snapshot.Valid() || !::Process32FirstW(snapshot.Get(), &entry))
        return processes;
    do
        processes.push_back({int(entry.th32ProcessID), int(entry.th32ParentProcessID),
                             win32::Narrow(entry.szExeFile)});
    while (::Process32NextW(snapshot.Get(), &entry));
    return processes;
}

bool SameProgram(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::vector<TProcessId> FindDescendants(const std::string& programName)
{
    std::multimap<int, TProcess> children;
    for (const TProcess& process : AllProcesses())
        children.emplace(process.Parent, process);
    std::vector<TProcessId> found;
    // Windows reuses the numbers of ended parents: a child must have started after it.
    std::vector<std::pair<int, unsigned long long>> parents = {
        {int(::GetCurrentProcessId()), StartOf(int(::GetCurrentProcessId()))}};
    while (!parents.empty()) {
        const auto [parent, parentStart] = parents.back();
        parents.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto child = first; child != last; ++child) {
            const unsigned long long start = StartOf(child->second.Pid);
            if (start == 0 || start < parentStart)
                continue;
            parents.emplace_back(child->second.Pid, start);
            if (SameProgram(child->second.Program, programName) ||
                SameProgram(child->second.Program, programName + ".exe"))
                found.push_back({child->second.Pid, start});
        }
    }
    return found;
}

namespace ending {

bool Running(const TProcessId& process)
{
    THandle handle(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(process.Pid)));
    return handle.Valid() && StartOf(process.Pid) == process.Start &&
           ::WaitForSingleObject(handle.Get(), 0) == WAIT_TIMEOUT;
}

// The polite request Windows has: WM_CLOSE to each top-level window of the process.
// Processes without a window are ended once the limit has passed.
void AskToEnd(const std::vector<TProcessId>& processes)
{
    ::EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(window, &pid);
            for (const TProcessId& p : *reinterpret_cast<const std::vector<TProcessId>*>(list))
                if (DWORD(p.Pid) == pid)
                    ::PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&processes));
}

void Kill(const std::vector<TProcessId>& processes)
{
    for (const TProcessId& process : processes) {
        THandle handle(::OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(process.Pid)));
        if (handle.Valid() && StartOf(process.Pid) == process.Start)
            ::TerminateProcess(handle.Get(), 1);
    }
}

} // namespace ending
} // namespace platform
