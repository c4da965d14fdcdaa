#pragma once
// The processes this one started, directly or through others. Main thread, at the end.

#include <chrono>
#include <string>

#include <vector>

namespace platform {

// A process by its number and start time, which tells it from a later one that got the
// same number.
struct TProcessId {
    int Pid = 0;
    unsigned long long Start = 0;
};

// The descendants whose program file is named `programName`, as they are now.
std::vector<TProcessId> FindDescendants(const std::string& programName);

// Ends the descendants whose program file is named `programName`, and those of `earlier`
// still running (found before their parent went, they may have been handed to another
// parent since), and waits until they are gone, so that a client started next never meets
// them: asked to end (SIGTERM) first, killed once `limit` has passed. For the browser
// engine's helper processes, which outlive an engine that has shut down until this
// process ends. Returns how many there were.
int EndDescendants(const std::string& programName, std::chrono::milliseconds limit,
                   const std::vector<TProcessId>& earlier = {});

} // namespace platform
