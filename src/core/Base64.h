#pragma once

#include <string>
#include <string_view>

namespace core {

// Standard base64 (RFC 4648 alphabet, "=" padding) broken into lines of 76 characters by
// CR LF. The break goes between lines: none at the end of the text.
std::string Base64Encode(std::string_view bytes);

} // namespace core
