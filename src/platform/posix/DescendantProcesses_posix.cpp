#include "platform/DescendantProcesses.h"

#include "platform/PlatformLog.h"

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// A process as /proc/PID/stat shows it; the start time tells it from a later one that
// got the same number.
struct TProcess {
    int Pid = 0;
    int Parent = 0;
    char State = 0;
    unsigned long long Start = 0;
};

std::optional<TProcess> ReadProcess(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat))
        return std::nullopt;
    // The program name in parentheses may hold anything: the fields follow the last ')'.
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(stat.substr(nameEnd + 1));
    TProcess process;
    process.Pid = pid;
    fields >> process.State >> process.Parent;
    // Fields 5 to 21 come between the parent and the start time.
    std::string skipped;
    for (int field = 5; field <= 21; ++field)
        fields >> skipped;
    fields >> process.Start;
    if (!fields)
        return std::nullopt;
    return process;
}

std::vector<TProcess> AllProcesses()
{
    std::vector<TProcess> processes;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return processes;
    while (const dirent* entry = ::readdir(proc))
        if (const int pid = std::atoi(entry->d_name); pid > 0)
            if (auto process = ReadProcess(pid))
                processes.push_back(*process);
    ::closedir(proc);
    return processes;
}

std::string ProgramName(int pid)
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec)
        .filename()
        .string();
}

std::vector<TProcessId> Descendants(const std::string& programName)
{
    std::multimap<int, TProcess> children;
    for (const TProcess& process : AllProcesses())
        children.emplace(process.Parent, process);
    std::vector<TProcessId> found;
    std::vector<int> parents = {int(::getpid())};
    while (!parents.empty()) {
        const int parent = parents.back();
        parents.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto child = first; child != last; ++child) {
            parents.push_back(child->second.Pid);
            if (ProgramName(child->second.Pid) == programName)
                found.push_back({child->second.Pid, child->second.Start});
        }
    }
    return found;
}

// A zombie has ended: only its exit status is left to collect.
bool Running(const TProcessId& process)
{
    const auto now = ReadProcess(process.Pid);
    return now && now->Start == process.Start && now->State != 'Z' && now->State != 'X';
}

void Signal(const std::vector<TProcessId>& processes, int number)
{
    for (const TProcessId& process : processes)
        if (Running(process))
            ::kill(process.Pid, number);
}

bool AllGone(const std::vector<TProcessId>& processes, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        bool running = false;
        for (const TProcessId& process : processes)
            running = running || Running(process);
        if (!running)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

std::vector<TProcessId> FindDescendants(const std::string& programName)
{
    return Descendants(programName);
}

int EndDescendants(const std::string& programName, std::chrono::milliseconds limit,
                   const std::vector<TProcessId>& earlier)
{
    std::vector<TProcessId> processes = Descendants(programName);
    for (const TProcessId& process : earlier)
        if (Running(process) &&
            std::none_of(processes.begin(), processes.end(),
                         [&](const TProcessId& p) { return p.Pid == process.Pid; }))
            processes.push_back(process);
    Signal(processes, SIGTERM);
    if (!AllGone(processes, limit)) {
        LogWarning(programName + " processes did not end in " + std::to_string(limit.count()) +
                   " ms: killed");
        Signal(processes, SIGKILL);
        AllGone(processes, limit);
    }
    return int(processes.size());
}

} // namespace platform
