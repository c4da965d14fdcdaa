#include "RequestParsing.h"

namespace demo {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string FormDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

QueryItems ParseQuery(std::string_view target)
{
    QueryItems items;
    const auto question = target.find('?');
    if (question == std::string_view::npos)
        return items;
    std::string_view query = target.substr(question + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view part = query.substr(0, amp);
        if (!part.empty()) {
            const auto eq = part.find('=');
            items.emplace_back(FormDecode(part.substr(0, eq)),
                               eq == std::string_view::npos ? std::string()
                                                            : FormDecode(part.substr(eq + 1)));
        }
        if (amp == std::string_view::npos)
            break;
        query.remove_prefix(amp + 1);
    }
    return items;
}

std::optional<std::string> CookieValue(std::string_view header, std::string_view name)
{
    while (!header.empty()) {
        const auto semicolon = header.find(';');
        const std::string_view pair = Trim(header.substr(0, semicolon));
        const auto eq = pair.find('=');
        if (eq != std::string_view::npos && Trim(pair.substr(0, eq)) == name)
            return std::string(Trim(pair.substr(eq + 1)));
        if (semicolon == std::string_view::npos)
            break;
        header.remove_prefix(semicolon + 1);
    }
    return std::nullopt;
}

} // namespace demo
