#pragma once

#include <string>
#include <string_view>

namespace core {

// Strict UTF-8: no overlong forms, no surrogates (U+D800..U+DFFF), nothing above U+10FFFF,
// no truncated sequence at the end.
bool IsValidUtf8(std::string_view bytes);

// UTF-16 code units as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

} // namespace core
