#pragma once
// The per-user entry that starts a program when the user logs in: on Linux an XDG
// autostart file, $XDG_CONFIG_HOME/autostart/NAME.desktop (~/.config when the variable
// is unset); on Windows the value NAME of the current user's Run key, whose data is the
// executable's full path (the label is not kept, and a failure to open the key is
// CreateDirectory). No administrator rights are needed. Any thread.

#include <optional>
#include <string>
#include <system_error>

namespace platform {

struct AutostartFailure {
    enum class Step { FindConfigDirectory, CreateDirectory, WriteEntry, RemoveEntry };
    Step What;
    std::string Path; // the directory or file the step failed on; empty for FindConfigDirectory
    std::error_code Error;
};

// Empty when there is no configuration directory (no home directory).
std::string AutostartEntryPath(const std::string& name);

// True when the entry `name` is there and starts `executable` (it may be an older
// client's, or the user's own).
bool AutostartEntryStarts(const std::string& name, const std::string& executable);

// With `enable`, writes the entry `name` (replacing it atomically) that starts
// `executable`, labelled `label`, creating the directory when needed; without, removes
// it (an entry that is not there is no failure).
std::optional<AutostartFailure> SetAutostartEntry(const std::string& name, const std::string& label,
                                                  const std::string& executable, bool enable);

} // namespace platform
