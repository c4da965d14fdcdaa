#pragma once
// The shell text that brings the client back after it has ended: a plain restart, and
// ClearCache.sh, which also empties the engine's cache but keeps its cookie database.
//
// Both wait until the ending client has released its instance lock, which it holds to
// the very end (after the engine has written its files), so the new client never finds
// the old one still running and never hands over to it.

#include <string>
#include <string_view>
#include <vector>

namespace core {

inline constexpr char ClearCacheScriptName[] = "ClearCache.sh";
// How long a restart waits for the ending client before it gives up.
inline constexpr int RestartWaitSeconds = 60;

// File-system paths as bytes; directories end with "/".
struct TRestartPaths {
    std::string AppDir;
    std::string CacheDir;   // AppDir + "cache/"
    std::string Executable; // the client, in AppDir
    std::string LockPath;   // the instance lock the ending client holds
};

// `text` as one sh word: single-quoted, every "'" written as '\''.
std::string ShellQuote(std::string_view text);

// A POSIX sh script, run in AppDir: wait for the lock; copy CACHE Cookies and
// Cookies-journal to AppDir; delete every file below CACHE (directories stay); copy both
// back; delete the copies in AppDir; start the client. The cookie database is never lost:
// when it cannot be copied out the cache is left alone, and copies that cannot be put
// back stay in AppDir.
std::string ClearCacheScript(const TRestartPaths& paths);

// The command (argv) that waits for the lock and then starts the client.
std::vector<std::string> RestartCommand(const TRestartPaths& paths);

} // namespace core
