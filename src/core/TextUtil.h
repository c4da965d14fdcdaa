#pragma once
// Small text helpers shared by the parsers.

#include <string>
#include <string_view>
#include <type_traits>

namespace core {

// Removes every character whose code is 32 or less (space and control characters) from
// both ends. Bytes of multi-byte UTF-8 sequences are all above 127, so trimming UTF-8
// never cuts a character.
template <typename Char> std::basic_string_view<Char> Trim(std::basic_string_view<Char> text)
{
    auto blank = [](Char c) { return static_cast<std::make_unsigned_t<Char>>(c) <= 32; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

inline std::string_view Trim(std::string_view text)
{
    return Trim<char>(text);
}
inline std::u16string_view Trim(std::u16string_view text)
{
    return Trim<char16_t>(text);
}

// Replaces every occurrence of `from`, scanning left to right without looking at replaced
// text again. An empty `from` replaces nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace core
