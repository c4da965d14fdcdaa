#include "platform/WorkstationIdentity.h"

#include "core/Lines.h"
#include "platform/posix/ProcNetTables.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netpacket/packet.h>
#include <unistd.h>

namespace platform {
namespace {

// Reads at most `limit` bytes: enough for any workstation's tables, and an odd file is
// never read forever.
std::string ReadText(const std::filesystem::path& path, size_t limit = 16 << 20)
{
    std::ifstream file(path, std::ios::binary);
    std::string text;
    char chunk[4096];
    while (file && text.size() < limit) {
        file.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<size_t>(file.gcount()));
    }
    return text.substr(0, limit);
}

std::string ReadAttribute(const std::filesystem::path& device, const char* name)
{
    std::string value = ReadText(device / name, 4096);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.pop_back();
    return value;
}

long ReadNumber(const std::filesystem::path& device, const char* name)
{
    return std::strtol(ReadAttribute(device, name).c_str(), nullptr, 0);
}

bool IsAllZero(const std::string& mac)
{
    return std::all_of(mac.begin(), mac.end(), [](char c) { return c == '0' || c == ':'; });
}

} // namespace

std::vector<std::string> AdapterMacAddresses()
{
    std::vector<std::pair<long, std::string>> adapters; // ifindex, address
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/net", error)) {
        const std::filesystem::path& device = entry.path();
        if (ReadNumber(device, "type") == ARPHRD_LOOPBACK ||
            (ReadNumber(device, "flags") & IFF_LOOPBACK) != 0)
            continue;
        std::string mac = ReadAttribute(device, "address");
        if (mac.empty() || IsAllZero(mac))
            continue;
        std::transform(mac.begin(), mac.end(), mac.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        adapters.emplace_back(ReadNumber(device, "ifindex"), std::move(mac));
    }
    std::stable_sort(adapters.begin(), adapters.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> macs;
    for (auto& [index, mac] : adapters) {
        if (std::find(macs.begin(), macs.end(), mac) == macs.end())
            macs.push_back(std::move(mac));
    }
    return macs;
}

std::string DefaultGateway()
{
    return ParseDefaultGateway(ReadText("/proc/net/route"));
}

std::string GatewayMac(const std::string& gateway)
{
    return ParseGatewayMac(gateway, ReadText("/proc/net/arp"));
}

std::string LocalIPv4Addresses()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return " ";
    // Addresses come after the links; the links give each name its interface index. An
    // address label such as "eth0:1" belongs to the link before the colon.
    std::map<std::string, int> indexes;
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr != nullptr && a->ifa_addr->sa_family == AF_PACKET)
            indexes[a->ifa_name] = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr)->sll_ifindex;
    }
    std::vector<std::pair<int, std::string>> addresses;
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET ||
            (a->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        char dotted[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr, dotted,
                    sizeof dotted);
        const std::string name(a->ifa_name);
        const auto link = indexes.find(name.substr(0, name.find(':')));
        addresses.emplace_back(link == indexes.end() ? INT_MAX : link->second, dotted);
    }
    ::freeifaddrs(list);
    if (addresses.empty())
        return " ";
    std::stable_sort(addresses.begin(), addresses.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    core::TLines dotted;
    for (auto& [index, address] : addresses)
        dotted.push_back(std::move(address));
    return core::JoinLines(dotted, ", ");
}

std::string ComputerName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return ShortComputerName(name);
}

} // namespace platform
