#include "core/DesktopEntry.h"

#include "core/Lines.h"
#include "core/TextCodec.h"

namespace core {
namespace {

constexpr std::string_view ReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view EscapedInQuotes = "\"`$\\";

// The escapes every string value knows; they are undone before the Exec rules apply.
std::string EscapeStringValue(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::string DesktopExecArgument(std::string_view argument)
{
    const bool quote = argument.empty() || argument.find_first_of(ReservedInExec) != argument.npos;
    std::string exec = quote ? "\"" : "";
    for (char c : argument) {
        if (c == '%')
            exec += '%';
        else if (quote && EscapedInQuotes.find(c) != EscapedInQuotes.npos)
            exec += '\\';
        exec += c;
    }
    if (quote)
        exec += '"';
    return EscapeStringValue(exec);
}

std::optional<std::string> AutostartDesktopEntry(std::string_view name, std::string_view executable)
{
    if (!IsValidUtf8(name) || !IsValidUtf8(executable))
        return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.4\n"
           "Name=" +
           EscapeStringValue(name) +
           "\n"
           "Exec=" +
           DesktopExecArgument(executable) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool DesktopEntryStarts(std::string_view entry, std::string_view executable)
{
    const std::string exec = "Exec=" + DesktopExecArgument(executable);
    bool inMainGroup = false;
    bool starts = false;
    for (const std::string& line : SplitToLines(entry, {})) {
        if (line.starts_with('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
        if (line.starts_with("Exec="))
            starts = line == exec;
    }
    return starts;
}

} // namespace core
