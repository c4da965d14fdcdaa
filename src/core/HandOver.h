#pragma once
// The one-line message a second start sends to the running client, and its answer.
//   "<handle>\n"                 show the window (a start without arguments)
//   "<handle> settings\n"        open the settings dialog
//   "<handle> open <address>\n"  open the address in a window of its own
// <handle> is the [SYSTEM] HANDLE the second start read from config.ini; the running
// client acts only on its own. It answers HandOverDone when it acted, else
// HandOverIgnored; for anything but showing the window, no answer counts as not done.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/CommandLine.h"

namespace core {

inline constexpr std::size_t MaxHandOverLine = MaxAddressLength + 64;
inline constexpr char HandOverDone[] = "done\n";
inline constexpr char HandOverIgnored[] = "ignored\n";

struct HandOver {
    std::int64_t Handle = 0;
    ClientCommand Command;
    bool operator==(const HandOver&) const = default;
};

// The line, newline included.
std::string FormatHandOver(const HandOver& handOver);
// A line as received (a trailing CR LF or LF is ignored); nullopt when it is not a line
// of the protocol or its address is not one the client opens.
std::optional<HandOver> ParseHandOver(std::string_view line);

} // namespace core
