#pragma once
// The OS services' log. Failures here are never shown to the user. Any thread.

#include <string_view>

namespace platform {

// One warning line on the system's log channel for this client: the "quillmark.platform"
// logging category on Linux, the debugger's output on Windows.
void LogWarning(std::string_view message);

} // namespace platform
