#pragma once
// Desktop entry files (the freedesktop.org desktop entry format, version 1.4), as the per-user
// autostart entry needs them: written, and read back to tell whether it is ours.

#include <optional>
#include <string>
#include <string_view>

namespace core {

// One argument of an Exec key, written into the file: quoted in whole when it holds a
// reserved character, '"', '`', '$' and '\' escaped inside the quotes, '%' doubled, and
// then the escapes of a string value applied (so a literal backslash becomes four).
std::string DesktopExecArgument(std::string_view argument);

// An application entry named `name` that starts `executable` (a full path) with no
// arguments. nullopt when either is not valid UTF-8, which an entry cannot hold.
std::optional<std::string> AutostartDesktopEntry(std::string_view name,
                                                 std::string_view executable);

// True when `entry`, the text of an entry file, starts exactly `executable` with no
// arguments and is not switched off (Hidden, or the GNOME key written beside Exec).
bool DesktopEntryStarts(std::string_view entry, std::string_view executable);

} // namespace core
