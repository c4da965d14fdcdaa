#pragma once
// Facts about the running process, available before any Qt object exists.

#include <string>

namespace platform {

// Full path of the running executable; empty if unknown.
std::string ExecutablePath();
// Directory of the running executable with a trailing separator; empty if unknown.
std::string ExecutableDirectory();
bool RunningAsRoot();

} // namespace platform
