#pragma once
// Where the client keeps its files (config.ini, cache/, the restart scripts). Any thread;
// meant for start-up, before any window exists.

#include <string>

namespace platform {

struct TAppDirectory {
    std::string Path; // with a trailing separator
    bool Installed = false;
    // Why the per-user directory could not be used; Path is then a private temporary
    // directory that lives as long as the machine keeps /tmp.
    std::string Problem;
};

// Beside the executable, for a copied client or a build tree. For an installed client
// (its directory a bin/ with `installMarker` beside it, or one this user may not write),
// the per-user data directory $XDG_DATA_HOME/`dataName`/ (~/.local/share/...), made on
// first use with mode 0700 (on Windows %LOCALAPPDATA%\`dataName`\). `installMarker` is
// relative to the executable's directory.
TAppDirectory ResolveAppDirectory(const std::string& executableDirectory,
                                  const std::string& dataName, const std::string& installMarker);

} // namespace platform
