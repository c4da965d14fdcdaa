#pragma once

#include <string>
#include <string_view>

namespace core {

// Form encoding byte by byte: letters, digits and @ ! $ ' ( ) * - . _ pass, the space
// becomes "+", every other byte "%XX" with upper-case hex digits. Stops at the first
// zero byte.
std::string UrlEncode(std::string_view bytes);

} // namespace core
