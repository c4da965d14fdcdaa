#pragma once
// Replacing a file so that readers, and a crash or a power cut, only ever see the old or
// the new content. Any thread.

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Writes `content` to a new file beside `path` (named `path` + ".tmp-" + six characters),
// syncs it to disk, gives it `mode`, renames it over `path` and syncs the directory, so
// the rename itself survives a power cut. On failure `path` is left as it was, nothing
// else is left behind, and the error is returned.
std::error_code WriteFileAtomically(const std::string& path, std::string_view content,
                                    unsigned mode);
// The same, keeping the permissions of the file it replaces (0644 for a new file).
std::error_code ReplaceFileAtomically(const std::string& path, std::string_view content);

// Removes the temporary files that a replacement of `path` leaves behind when the process
// dies in the middle of it, also those of earlier versions (`path` + ".tmp" + digits).
// Only for a file that no other process replaces meanwhile.
// Returns how many it removed.
int RemoveStaleTemporaries(const std::string& path);

} // namespace platform
