#pragma once

#include <optional>
#include <string_view>

namespace demo {

// The contents of a file compiled into the service (pages/ and the images it serves),
// looked up by its file name; nullopt when no such file was embedded.
std::optional<std::string_view> EmbeddedFile(std::string_view name);

} // namespace demo
