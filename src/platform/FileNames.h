#pragma once
// The names of the files that a replacement or a setting aside leaves beside a file, the
// same on every system. Any thread.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

inline constexpr char TemporaryInfix[] = ".tmp-";
inline constexpr std::size_t TemporaryRandomLength = 6;

// Ours: `name` + ".tmp-" + six characters; earlier versions': `name` + ".tmp" + digits.
bool IsTemporaryOf(std::string_view name, std::string_view candidate);

// The `attempt`-th name to set `path` aside under: ".bad", then ".bad.1", ".bad.2", ...
std::string SetAsideName(const std::string& path, int attempt);

} // namespace platform
