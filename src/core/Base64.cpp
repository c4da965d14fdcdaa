#include "core/Base64.h"

#include <algorithm>
#include <cstdint>

namespace core {

std::string Base64Encode(std::string_view bytes)
{
    static constexpr char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    constexpr size_t LineLength = 76;

    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4 * (LineLength + 2) / LineLength + 4);
    size_t lineUsed = 0;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        if (lineUsed == LineLength) {
            out += "\r\n";
            lineUsed = 0;
        }
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        out += Alphabet[(group >> 18) & 0x3F];
        out += Alphabet[(group >> 12) & 0x3F];
        out += n > 1 ? Alphabet[(group >> 6) & 0x3F] : '=';
        out += n > 2 ? Alphabet[group & 0x3F] : '=';
        lineUsed += 4;
    }
    return out;
}

} // namespace core
