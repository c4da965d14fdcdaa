#pragma once
// What each system gives the console runner: starting a command and collecting its bytes,
// and reading those bytes as text. Internal to the platform layer.

#include <optional>
#include <string>

namespace platform::console {

enum class TStreams { OutputAndErrors, OutputOnly };

// The bytes the command printed until it ended or `timeoutMs` passed; nullopt when it
// could not be started.
std::optional<std::string> Run(const std::string& command, TStreams streams, int timeoutMs);

// The command's bytes as UTF-8 (the console's OEM code page on Windows).
std::string Decode(const std::string& bytes);

} // namespace platform::console
