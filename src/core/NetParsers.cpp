#include "core/NetParsers.h"

#include "core/TextUtil.h"

#include <algorithm>
#include <unordered_set>

namespace core {
namespace {

constexpr std::string_view PhysicalAddressEn = "Physical Address";
constexpr std::string_view PhysicalAddressZh = "物理地址.";
constexpr std::string_view DefaultGatewayEn = "Default Gateway";
constexpr std::string_view DefaultGatewayZh = "默认网关";
constexpr std::string_view BroadcastMac = "ff-ff-ff-ff-ff-ff";

bool Contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
    return out;
}

// The value of a physical-address line: the text after the colon, or for a line without
// one, the text after the first space once the dot leaders are closed up.
std::string_view AddressValue(std::string_view line, std::string& buffer)
{
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        buffer = Trim(ReplaceAll(line, ". ", "."));
        const size_t space = buffer.find(' ');
        return Trim(space == std::string::npos ? std::string_view(buffer)
                                               : std::string_view(buffer).substr(space + 1));
    }
    return Trim(line.substr(colon + 1));
}

// Splits off the first space-separated word of `text`: the trimmed word, and in `rest` the
// trimmed text after it. False when there is no space.
bool SplitWord(std::string_view text, std::string_view& word, std::string_view& rest)
{
    const size_t space = text.find(' ');
    if (space == std::string_view::npos)
        return false;
    word = Trim(text.substr(0, space));
    rest = Trim(text.substr(space + 1));
    return true;
}

} // namespace

void ExtractMacAddresses(TLines& lines)
{
    TLines result;
    std::unordered_set<std::string> seen; // lower-cased, keeps the check linear
    std::string buffer;
    for (const std::string& line : lines) {
        if (!Contains(line, PhysicalAddressEn) && !Contains(line, PhysicalAddressZh))
            continue;
        const std::string_view raw = AddressValue(line, buffer);
        if (raw.empty())
            continue;
        std::string value(raw);
        std::replace(value.begin(), value.end(), '-', ':');
        if (seen.insert(LowerAscii(value)).second)
            result.push_back(std::move(value));
    }
    lines = std::move(result);
}

bool FindLabeledValue(const TLines& lines, std::string_view label, std::string& value)
{
    for (const std::string& line : lines) {
        if (!Contains(line, label))
            continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        value = Trim(std::string_view(line).substr(colon + 1));
        return true;
    }
    value.clear();
    return false;
}

std::string FindDefaultGateway(const TLines& lines)
{
    std::string gateway;
    if (!FindLabeledValue(lines, DefaultGatewayZh, gateway))
        FindLabeledValue(lines, DefaultGatewayEn, gateway);
    return gateway;
}

std::string FindGatewayMac(const std::string& gateway, const TLines& lines)
{
    std::string result;
    // The first three lines are the blank line, the interface line and the column header.
    for (size_t i = 3; i < lines.size(); ++i) {
        std::string_view address, rest, mac, tail;
        if (!SplitWord(Trim(std::string_view(lines[i])), address, rest) ||
            !SplitWord(rest, mac, tail))
            continue;
        if (LowerAscii(mac) == BroadcastMac)
            continue;
        result = mac;
        if (address == gateway)
            break;
    }
    return result;
}

} // namespace core
