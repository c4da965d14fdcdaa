#pragma once
// The per-user base directories of the XDG Base Directory rules. Any thread.

#include <string>

namespace platform {

// $`variable` when it holds an absolute path; otherwise (unset, empty or relative, which
// the rules say to ignore) `underHome` inside the home directory. Empty when there is no
// home directory either.
std::string XdgBaseDirectory(const char* variable, const char* underHome);

// $XDG_CONFIG_HOME, else ~/.config.
std::string XdgConfigHome();

} // namespace platform
