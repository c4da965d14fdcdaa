#include "Html.h"

namespace demo {

std::string HtmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string FillTemplate(std::string_view page, const TemplateValues& values)
{
    std::string filled;
    filled.reserve(page.size());
    std::size_t pos = 0;
    while (pos < page.size()) {
        const auto open = page.find("{{", pos);
        const auto close = open == std::string_view::npos ? open : page.find("}}", open + 2);
        if (close == std::string_view::npos) {
            filled += page.substr(pos);
            break;
        }
        filled += page.substr(pos, open - pos);
        const auto value = values.find(page.substr(open + 2, close - open - 2));
        if (value != values.end())
            filled += value->second;
        else
            filled += page.substr(open, close + 2 - open);
        pos = close + 2;
    }
    return filled;
}

} // namespace demo
