#include "core/ScriptLiteral.h"

#include <cstdio>

namespace core {
namespace {

// UTF-8 of the two line terminators that script source knows beyond CR and LF.
constexpr std::string_view LineSeparator = "\xE2\x80\xA8";
constexpr std::string_view ParagraphSeparator = "\xE2\x80\xA9";

void AppendUnicodeEscape(std::string& out, unsigned code)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", code);
    out += escape;
}

} // namespace

std::string ScriptStringLiteral(std::string_view text)
{
    std::string literal = "'";
    literal.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::string_view rest = text.substr(i);
        if (rest.starts_with(LineSeparator) || rest.starts_with(ParagraphSeparator)) {
            AppendUnicodeEscape(literal, rest.starts_with(LineSeparator) ? 0x2028 : 0x2029);
            i += LineSeparator.size() - 1;
        } else if (c == '\'' || c == '"' || c == '\\') {
            literal += '\\';
            literal += char(c);
        } else if (c < 0x20 || c == 0x7F || c == '<' || c == '>') {
            AppendUnicodeEscape(literal, c);
        } else {
            literal += char(c);
        }
    }
    return literal + "'";
}

std::string TipClickScript(std::string_view argument)
{
    return "tipClickHandle(" + ScriptStringLiteral(argument) + ");";
}

} // namespace core
