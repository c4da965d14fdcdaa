#pragma once
// Console output captured on a Windows workstation and saved to a file, turned into
// UTF-8 text for the listing readers. Any thread.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped), UTF-16 when they
// start with its byte-order mark, otherwise code page 936 read as GB18030 (its superset).
// Line endings are left as they are.
std::string DecodeCapturedBytes(std::string_view bytes);

// Reads and decodes a whole file. False with a reason in `error` when it cannot be read
// or is larger than any console listing (16 MB).
bool ReadCapturedText(const std::string& path, std::string& text, std::string& error);

} // namespace platform
