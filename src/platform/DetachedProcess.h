#pragma once
// Starts a program that lives on by itself (the updater, the client's own restart).
// Any thread.

#include <string>
#include <vector>

namespace platform {

// `program` is a path (a relative one counts from the working directory); an empty
// working directory keeps the client's. The program gets this process's standard input,
// output and error (/dev/null for one that is closed) and no other descriptor, runs in a
// session of its own and is not a child of this process. False (a log line, and the
// reason in `error` when given) when it cannot be started; what happens to it afterwards
// is not watched. On Windows it is opened through the shell (ShellExecuteExW, shown
// normally), which does not hand over the standard streams.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, std::string* error = nullptr);

} // namespace platform
