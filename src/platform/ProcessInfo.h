#pragma once
// Facts about the running process, available before any Qt object exists.

#include <string>

namespace platform {

// Directory of the running executable with a trailing separator; empty if unknown.
std::string ExecutableDirectory();
bool RunningAsRoot();

} // namespace platform
