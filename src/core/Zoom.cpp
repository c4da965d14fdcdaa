#include "core/Zoom.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "core/IniFile.h"
#include "core/TextUtil.h"

namespace core {
namespace {

constexpr std::array<int, 17> ZoomSteps = {25,  33,  50,  67,  75,  80,  90,  100, 110,
                                           125, 150, 175, 200, 250, 300, 400, 500};

bool KeptInKey(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

} // namespace

int NextZoomStep(int percent, bool up)
{
    if (up) {
        const auto above = std::upper_bound(ZoomSteps.begin(), ZoomSteps.end(), percent);
        return above == ZoomSteps.end() ? MaxZoomPercent : *above;
    }
    const auto atOrAbove = std::lower_bound(ZoomSteps.begin(), ZoomSteps.end(), percent);
    return atOrAbove == ZoomSteps.begin() ? MinZoomPercent : *std::prev(atOrAbove);
}

std::optional<int> ParseZoomPercent(std::string_view text)
{
    const auto value = ParseDecimal(Trim(text));
    if (!value || *value < MinZoomPercent || *value > MaxZoomPercent)
        return std::nullopt;
    return int(*value);
}

std::string ZoomKeyOfHost(std::string_view host)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string key;
    for (char c : host) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (KeptInKey(c)) {
            key += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        key += '%';
        key += Hex[byte >> 4];
        key += Hex[byte & 0xF];
    }
    return key;
}

} // namespace core
