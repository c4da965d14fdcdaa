#pragma once
// Text handed from the client to a page's script.

#include <string>
#include <string_view>

namespace core {

// `text` (UTF-8) as a single-quoted script string literal that evaluates to exactly
// `text`: quotes, backslashes, control characters, U+2028, U+2029 and "<" are escaped, so
// no argument can end the literal, the line or an enclosing script element.
std::string ScriptStringLiteral(std::string_view text);

// "tipClickHandle('" argument "');" with the argument as a proper literal.
std::string TipClickScript(std::string_view argument);

} // namespace core
