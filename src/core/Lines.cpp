#include "core/Lines.h"

#include "core/TextUtil.h"

namespace core {

TLines SplitToLines(std::string_view text, std::string_view separator)
{
    // Replace first, cut at NUL afterwards: a NUL inside a separator is replaced, not an end.
    const std::string replaced = ReplaceAll(text, separator, "\r\n");
    std::string_view rest(replaced);
    rest = rest.substr(0, rest.find('\0'));

    TLines lines;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.emplace_back(rest);
            break;
        }
        lines.emplace_back(rest.substr(0, end));
        const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::string JoinLines(const TLines& lines, std::string_view separator)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out.append(separator);
        out.append(lines[i]);
    }
    return out;
}

} // namespace core
