#include "platform/DescendantProcesses.h"

#include "platform/PlatformLog.h"
#include "platform/ProcessEnding.h"

#include <algorithm>
#include <thread>

namespace platform {
namespace {

bool AllGone(const std::vector<TProcessId>& processes, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (std::none_of(processes.begin(), processes.end(), ending::Running))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int EndDescendants(const std::string& programName, std::chrono::milliseconds limit,
                   const std::vector<TProcessId>& earlier)
{
    std::vector<TProcessId> processes = FindDescendants(programName);
    for (const TProcessId& process : earlier)
        if (ending::Running(process) &&
            std::none_of(processes.begin(), processes.end(),
                         [&](const TProcessId& p) { return p.Pid == process.Pid; }))
            processes.push_back(process);
    ending::AskToEnd(processes);
    if (!AllGone(processes, limit)) {
        LogWarning(programName + " processes did not end in " + std::to_string(limit.count()) +
                   " ms: killed");
        ending::Kill(processes);
        AllGone(processes, limit);
    }
    return int(processes.size());
}

} // namespace platform
