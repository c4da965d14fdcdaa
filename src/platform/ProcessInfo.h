#pragma once
// Facts about the running process, available before any Qt object exists.

#include <string>
#include <vector>

namespace platform {

// Full path of the running executable; empty if unknown.
std::string ExecutablePath();
// Directory of the running executable with a trailing separator; empty if unknown.
std::string ExecutableDirectory();
// With administrator rights: root here, an elevated token on Windows.
bool RunningAsRoot();
// The command line as UTF-8, the program first: `argv` as it is here, the wide command
// line on Windows (whose `argv` is in the ANSI code page).
std::vector<std::string> ProcessArguments(int argc, char* argv[]);

} // namespace platform
