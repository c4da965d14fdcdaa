#pragma once
// Starts a program that lives on by itself (the updater, the client's own restart).
// Any thread.

#include <string>
#include <vector>

namespace platform {

// An empty working directory keeps the client's. False (a log line, and the reason in
// `error` when given) when the program cannot be started; what happens to it afterwards
// is not watched.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, std::string* error = nullptr);

} // namespace platform
