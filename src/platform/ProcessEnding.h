#pragma once
// What each system gives for ending processes: the primitives under EndDescendants, which
// is the same everywhere. Internal to the platform layer.

#include "platform/DescendantProcesses.h"

#include <vector>

namespace platform::ending {

// Still the process it was (not a later one with its number) and not yet ended.
bool Running(const TProcessId& process);
// The system's polite request to end (SIGTERM; WM_CLOSE to the process's windows).
void AskToEnd(const std::vector<TProcessId>& processes);
// Ends them at once (SIGKILL; TerminateProcess).
void Kill(const std::vector<TProcessId>& processes);

} // namespace platform::ending
