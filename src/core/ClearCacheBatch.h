#pragma once
// ClearCache.bat: what empties the engine's cache on Windows once the client has ended,
// keeping the cookie database, and starts the client again. The seven lines of the
// client's batch, with every path quoted so that spaces and the characters cmd treats
// specially address only the files meant.

#include <optional>
#include <string>

namespace core {

inline constexpr char ClearCacheBatchName[] = "ClearCache.bat";

// Paths as UTF-8 Windows paths; directories end with "\". Each line ends with CR LF; the
// caller writes the text in the ANSI code page. nullopt when a path holds what no batch
// line can carry: a double quote or a line break.
//   choice /t 2 /d y /n >nul        wait until the client has ended
//   del /S /Q "CACHE*"              every file below the cache (directories stay)
//   copy "APPDIR"Cookies ...        the saved cookie database and journal back
//   del "APPDIR"Cookies ...         the saved copies away
//   "EXE"                           the client again
std::optional<std::string> ClearCacheBatch(const std::string& appDir, const std::string& cacheDir,
                                           const std::string& executable);

} // namespace core
