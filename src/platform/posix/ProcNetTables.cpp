#include "platform/posix/ProcNetTables.h"

#include "core/NetParsers.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

#include <arpa/inet.h>
#include <net/if_arp.h>
#include <net/route.h>
#include <netinet/in.h>

namespace platform {
namespace {

using TFields = std::vector<std::string_view>;

// The rows of a table file, each split at white space; the header row is left out.
std::vector<TFields> TableRows(std::string_view text)
{
    std::vector<TFields> rows;
    bool header = true;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (std::exchange(header, false))
            continue;
        TFields fields;
        for (;;) {
            const size_t start = line.find_first_not_of(" \t\r");
            if (start == std::string_view::npos)
                break;
            line.remove_prefix(start);
            const size_t stop = line.find_first_of(" \t\r");
            fields.push_back(line.substr(0, stop));
            line = stop == std::string_view::npos ? std::string_view() : line.substr(stop);
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

bool ParseHex(std::string_view text, std::uint32_t& value)
{
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value, 16);
    return !text.empty() && error == std::errc() && end == last;
}

} // namespace

std::string ParseDefaultGateway(std::string_view routeText)
{
    // Iface Destination Gateway Flags ...
    for (const TFields& row : TableRows(routeText)) {
        std::uint32_t destination = 0, gateway = 0, flags = 0;
        if (row.size() < 4 || row[1].size() != 8 || row[2].size() != 8 ||
            !ParseHex(row[1], destination) || !ParseHex(row[2], gateway) ||
            !ParseHex(row[3], flags))
            continue;
        if (destination != 0 || (flags & RTF_GATEWAY) == 0)
            continue;
        // The kernel prints the address as it lies in memory, read as a native integer.
        in_addr address{};
        address.s_addr = gateway;
        char dotted[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &address, dotted, sizeof dotted);
        return dotted;
    }
    return {};
}

core::TLines ArpTableAsListing(std::string_view arpText)
{
    core::TLines listing = {"", "Interface: 0.0.0.0 --- 0x0",
                            "  Internet Address      Physical Address      Type"};
    // IP address, HW type, Flags, HW address, Mask, Device
    for (const TFields& row : TableRows(arpText)) {
        std::uint32_t flags = 0;
        if (row.size() < 4 || !ParseHex(row[2], flags) || flags == 0)
            continue;
        std::string mac(row[3]);
        for (char& c : mac)
            c = c == ':' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const char* type = (flags & ATF_PERM) != 0 ? "static" : "dynamic";
        listing.push_back("  " + std::string(row[0]) + "  " + mac + "  " + type);
    }
    return listing;
}

std::string ParseGatewayMac(const std::string& gateway, std::string_view arpText)
{
    return core::FindGatewayMac(gateway, ArpTableAsListing(arpText));
}

} // namespace platform
