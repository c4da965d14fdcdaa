#pragma once
// A list of lines as the console commands print them: order, duplicates and empty lines
// are kept. Lines are UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace core {

using TLines = std::vector<std::string>;

// Replaces every occurrence of `separator` (exact, case-sensitive; an empty separator
// replaces nothing) by CR LF, then splits: a line ends at CR LF, at a lone LF or at a
// lone CR, and the text ends at its first NUL. A final line break adds no empty line;
// empty lines between breaks are kept.
TLines SplitToLines(std::string_view text, std::string_view separator);

// The lines with `separator` between them and nothing at either end.
std::string JoinLines(const TLines& lines, std::string_view separator);

} // namespace core
