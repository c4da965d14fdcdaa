#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace demo {

using QueryItems = std::vector<std::pair<std::string, std::string>>;

// Decodes form encoding: "+" is a space, "%XX" a byte; a "%" without two hex digits after it
// stays as it is.
std::string FormDecode(std::string_view text);

// The query of a request target ("/path?a=1&b=2"), decoded, in the order it was sent,
// duplicates and empty values kept. A part without "=" is a key with an empty value.
QueryItems ParseQuery(std::string_view target);

// The value of cookie `name` in a Cookie request header, nullopt when it is not there.
std::optional<std::string> CookieValue(std::string_view header, std::string_view name);

} // namespace demo
