#pragma once
// Replacing a file so that readers, and a crash, only ever see the old or the new
// content. Any thread.

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Writes `content` to a new file beside `path`, syncs it to disk, gives it `mode` and
// renames it over `path`. On failure `path` is left as it was, nothing else is left
// behind, and the error is returned.
std::error_code WriteFileAtomically(const std::string& path, std::string_view content,
                                    unsigned mode);

} // namespace platform
