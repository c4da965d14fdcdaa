#pragma once
// Reading the service's version file and building the request handed to the updater.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// The version file's body as UTF-8: kept as it is when it already is valid UTF-8,
// otherwise decoded by `legacyToUtf8` (the service writes the ANSI code page, GB18030 on
// the systems we serve). Without a decoder the bytes are kept.
std::string DecodeVersionBody(std::string_view body,
                              const std::function<std::string(std::string_view)>& legacyToUtf8);

// Members read from the version file, trimmed. A missing member is empty, a member that is
// not a string holds its JSON text (1.5 -> "1.5").
struct TVersionInfo {
    std::string Version;
    std::string Info;
};

// Reads the first complete JSON value of `text` and ignores whatever follows it; comments
// are allowed. nullopt, with the reason in `error` when given, when the text does not
// parse, when the value is not an object, or when it nests deeper than 512 levels.
std::optional<TVersionInfo> ParseVersionFile(std::string_view text, std::string* error);

// Plain text comparison, not a version order: anything but our own version is newer.
bool IsNewVersion(const TVersionInfo& info, std::string_view ownVersion);

// The question to ask: Info, or a default text when Info is empty.
std::string UpdateQuestion(const TVersionInfo& info);

// {"FileName":"update.rar","ExeName":"<exeName>"} without white space. Only the double
// quote, the backslash, the slash and NUL are escaped; all else is written unchanged,
// which is what the updater expects.
std::string SerializeUpdateRequest(std::string_view exeName);

// The updater's command-line argument: the serialised request in base64 on one line.
std::string UpdateRequestArgument(std::string_view exeName);

} // namespace core
