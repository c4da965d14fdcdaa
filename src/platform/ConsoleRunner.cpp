#include "platform/ConsoleRunner.h"

#include "platform/ConsoleRun.h"

namespace platform {
namespace {

// Decoded once, at the end, so no character is cut; the text ends at its first NUL.
std::string ToText(const std::optional<std::string>& bytes)
{
    return bytes ? console::Decode(bytes->substr(0, bytes->find('\0'))) : std::string();
}

} // namespace

std::string RunConsoleCommand(const std::string& command, int timeoutMs)
{
    return ToText(console::Run(command, console::TStreams::OutputAndErrors, timeoutMs));
}

void RunConsoleCommandLines(const std::string& command, core::TLines& lines, int timeoutMs)
{
    lines = core::SplitToLines(
        ToText(console::Run(command, console::TStreams::OutputOnly, timeoutMs)), "\r\n");
}

} // namespace platform
