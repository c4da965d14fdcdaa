#pragma once
// config.ini with the semantics of the Windows profile functions: section and key
// names match without regard to ASCII case, the first matching section and the first
// matching key in it win, values lose surrounding blanks and one pair of surrounding
// quotes. Every call reads (and a write rewrites) the file; nothing is cached, so any
// thread may call it. Lines the writer does not touch are kept byte for byte.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace core {

class IniFile {
public:
    // A settings file is a few hundred bytes; a larger one is not read (every value reads
    // as missing) nor written (writes fail), so it cannot slow every call down.
    static constexpr std::uintmax_t MaxFileBytes = std::uintmax_t{1} << 20;
    // Replaces the file at `path` with `data` so that a crash leaves the old or the new
    // content, keeping its permissions; false when it cannot. Installed once at start-up
    // by the application, which makes it durable (platform/AtomicFile.h); without one the
    // file is replaced through a temporary file, without syncing anything to disk.
    using TReplacer =
        std::function<bool(const std::filesystem::path& path, const std::string& data)>;
    static void SetReplacer(TReplacer replacer);

    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }

    // nullopt when the file, the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A missing key or a value that is not a decimal integer in range gives `def`.
    std::int64_t ReadInteger(std::string_view section, std::string_view key,
                             std::int64_t def) const;

    // Creates the file on the first write. The new content goes to a temporary file
    // that replaces the old one, so a crash never leaves a truncated file. Returns
    // false (and leaves the file alone) when it cannot be written, e.g. read-only or
    // over MaxFileBytes.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
    // Several keys of one section in a single rewrite, as that many writes in a row would.
    using TIntegerValue = std::pair<std::string_view, std::int64_t>;
    bool WriteIntegers(std::string_view section, std::initializer_list<TIntegerValue> values);

private:
    std::filesystem::path path_;
};

// Decimal integer with an optional sign, nothing else; nullopt when out of range.
std::optional<std::int64_t> ParseDecimal(std::string_view text);

} // namespace core
