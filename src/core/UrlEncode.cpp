#include "core/UrlEncode.h"

namespace core {
namespace {

bool PassesUnchanged(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("@!$'()*-._").find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string UrlEncode(std::string_view bytes)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (PassesUnchanged(c)) {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 0x0F];
        }
    }
    return out;
}

} // namespace core
