#pragma once
// The processes this one started, directly or through others. Main thread, at the end.

#include <chrono>
#include <string>

namespace platform {

// Ends the descendants whose program file is named `programName` and waits until they are
// gone, so that a client started next never meets them: asked to end (SIGTERM) first,
// killed once `limit` has passed. For the browser engine's helper processes, which outlive
// an engine that has shut down until this process ends. Returns how many there were.
int EndDescendants(const std::string& programName, std::chrono::milliseconds limit);

} // namespace platform
