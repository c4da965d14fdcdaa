#pragma once
// The command channel of the service's pages: a script dialog whose text is
// "ZEPHRIN:" NAME ":" ARGUMENT asks the client to do something instead of showing a box.

#include <string_view>

namespace core {

inline constexpr std::string_view PageCommandPrefix = "ZEPHRIN:";

enum class TPageDialog {
    Plain,      // no command prefix: the client shows the dialog in its own box
    ClearCache, // "CLEAR_CACHE"
    Relogin,    // "RELOGIN"
    Malformed,  // the prefix, but no known name with its colon: left to the engine's dialog
};

// What a script dialog with `message` (UTF-8) is. The prefix and the names are compared
// exactly, letter case included; the argument after the name's colon is not looked at.
TPageDialog ClassifyPageDialog(std::string_view message);

} // namespace core
