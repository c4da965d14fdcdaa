#include "platform/DescendantProcesses.h"

#include "platform/ProcessEnding.h"

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
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

} // namespace

std::vector<TProcessId> FindDescendants(const std::string& programName)
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

namespace ending {

// A zombie has ended: only its exit status is left to collect.
bool Running(const TProcessId& process)
{
    const auto now = ReadProcess(process.Pid);
    return now && now->Start == process.Start && now->State != 'Z' && now->State != 'X';
}

namespace {

void Signal(const std::vector<TProcessId>& processes, int number)
{
    for (const TProcessId& process : processes)
        if (Running(process))
            ::kill(process.Pid, number);
}

} // namespace

void AskToEnd(const std::vector<TProcessId>& processes)
{
    Signal(processes, SIGTERM);
}

void Kill(const std::vector<TProcessId>& processes)
{
    Signal(processes, SIGKILL);
}

} // namespace ending
} // namespace platform
