#pragma once
// A new, empty directory of a random name in the temporary directory, on every system.

#include <filesystem>
#include <random>
#include <string>

namespace test_support {

// Empty when none could be made.
inline std::filesystem::path MakeScratchDirectory(const std::string& prefix)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = std::filesystem::temp_directory_path() /
                                                (prefix + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec))
            return std::filesystem::canonical(candidate, ec);
    }
    return {};
}

} // namespace test_support
