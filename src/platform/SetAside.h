#pragma once
// Moving a file the client cannot use out of its way without destroying anything. Any
// thread.

#include <optional>
#include <string>

namespace platform {

// Renames `path` to `path` + ".bad", or to ".bad.1", ".bad.2", ... when that name is
// taken: a file set aside earlier is never replaced. The new path; nullopt (and `path`
// left where it is) when it cannot be moved.
std::optional<std::string> SetAsideFile(const std::string& path);

} // namespace platform
