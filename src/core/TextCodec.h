#pragma once

#include <string_view>

namespace core {

// Strict UTF-8: no overlong forms, no surrogates (U+D800..U+DFFF), nothing above U+10FFFF,
// no truncated sequence at the end.
bool IsValidUtf8(std::string_view bytes);

} // namespace core
