#include "platform/WorkstationIdentity.h"

#include "core/Lines.h"
#include "platform/ConsoleRunner.h"
#include "platform/posix/ProcNetTables.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

using namespace platform;

namespace {

const std::string RouteHeader = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\t"
                                "MTU\tWindow\tIRTT                                         \n";
const std::string ArpHeader =
    "IP address       HW type     Flags       HW address            Mask     Device\n";

std::string Route(const char* device, const char* destination, const char* gateway,
                  const char* flags, const char* mask)
{
    return std::string(device) + "\t" + destination + "\t" + gateway + "\t" + flags +
           "\t0\t0\t0\t" + mask + "\t0\t0\t0\n";
}

std::string Neighbour(const char* address, const char* flags, const char* mac)
{
    return std::string(address) + "        0x1         " + flags + "         " + mac +
           "     *        eth0\n";
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The word after `key`, or empty.
std::string After(const std::vector<std::string>& words, const std::string& key)
{
    const auto it = std::find(words.begin(), words.end(), key);
    return it == words.end() || it + 1 == words.end() ? std::string() : *(it + 1);
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// 00:1A:2B:.. as the Windows neighbour listing writes it: 00-1a-2b-..
std::string NeighbourForm(std::string mac)
{
    for (char& c : mac)
        c = c == ':' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return mac;
}

core::TLines Lines(const std::string& command)
{
    core::TLines lines;
    RunConsoleCommandLines(command, lines);
    return lines;
}

} // namespace

TEST(ProcNetRoute, FindsTheFirstDefaultRouteWithAGateway)
{
    if constexpr (std::endian::native != std::endian::little)
        GTEST_SKIP() << "captured on a little-endian machine";
    const struct {
        std::string table;
        std::string gateway;
    } cases[] = {
        {RouteHeader + Route("eth0", "00000000", "010200C0", "0003", "00000000") +
             Route("eth0", "000200C0", "00000000", "0001", "00FFFFFF"),
         "192.0.2.1"},
        // Network routes first, then two default routes: the first one counts.
        {RouteHeader + Route("eth0", "0001A8C0", "00000000", "0001", "00FFFFFF") +
             Route("wlan0", "00000000", "FE01A8C0", "0003", "00000000") +
             Route("eth0", "00000000", "0101000A", "0003", "00000000"),
         "192.168.1.254"},
        // A default route straight onto a device (VPN) has no gateway.
        {RouteHeader + Route("wg0", "00000000", "00000000", "0001", "00000000"), ""},
        {RouteHeader + Route("eth0", "000200C0", "00000000", "0001", "00FFFFFF"), ""},
        {RouteHeader, ""},
        {"", ""},
        {"\x01\xff garbage 00000000 zz\n00000000 00000000\n", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDefaultGateway(c.table), c.gateway) << c.table;
}

TEST(ProcNetArp, GivesTheGatewayAddressAsTheNeighbourListingPrintsIt)
{
    const std::string table = ArpHeader + Neighbour("192.168.1.7", "0x2", "3c:22:fb:01:02:03") +
                              Neighbour("192.168.1.1", "0x2", "00:1A:2B:3C:4D:5E") +
                              Neighbour("192.168.1.9", "0x6", "aa:bb:cc:dd:ee:ff") +
                              Neighbour("192.168.1.20", "0x0", "00:00:00:00:00:00") +
                              Neighbour("192.168.1.255", "0x6", "ff:ff:ff:ff:ff:ff");
    const struct {
        const char* gateway;
        const char* mac;
    } cases[] = {
        {"192.168.1.1", "00-1a-2b-3c-4d-5e"},
        // Not in the table (or no gateway at all): the last complete entry that is not the
        // broadcast address.
        {"10.0.0.1", "aa-bb-cc-dd-ee-ff"},
        {"", "aa-bb-cc-dd-ee-ff"},
        // Only an incomplete entry for the gateway: never its zero address.
        {"192.168.1.20", "aa-bb-cc-dd-ee-ff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseGatewayMac(c.gateway, table), c.mac) << c.gateway;

    EXPECT_EQ(ParseGatewayMac("192.168.1.1", ArpHeader), "");
    EXPECT_EQ(ParseGatewayMac("192.168.1.1", ""), "");
    EXPECT_EQ(ParseGatewayMac("192.168.1.1",
                              ArpHeader + Neighbour("192.168.1.1", "0x0", "00:00:00:00:00:00")),
              "");
}

// The live identity against what iproute2 reports about the same machine.
class LiveIdentity : public ::testing::Test {
protected:
    void SetUp() override
    {
        links_ = Lines("ip -o link");
        if (links_.empty())
            GTEST_SKIP() << "iproute2 (ip) is not installed: make deps";
    }
    core::TLines links_;
};

TEST_F(LiveIdentity, AgreesWithIproute2)
{
    const core::TWorkstationIdentity identity = ReadWorkstationIdentity();

    std::vector<std::string> macs;
    std::map<std::string, bool> loopback; // interface index -> loopback
    for (const std::string& line : links_) {
        const std::vector<std::string> words = Words(line);
        const std::string& index = words.at(0);
        loopback[index] = line.find("LOOPBACK") != std::string::npos;
        const auto link = std::find_if(words.begin(), words.end(),
                                       [](const auto& w) { return w.starts_with("link/"); });
        if (loopback[index] || link == words.end() || link + 1 == words.end() ||
            *link == "link/none")
            continue;
        const std::string mac = Upper(*(link + 1));
        if (mac.find_first_not_of("0:") != std::string::npos &&
            std::find(macs.begin(), macs.end(), mac) == macs.end())
            macs.push_back(mac);
    }
    EXPECT_EQ(identity.MacAddress, core::JoinLines(macs, ";"));

    std::string gateway;
    for (const std::string& line : Lines("ip route show default")) {
        gateway = After(Words(line), "via");
        if (!gateway.empty())
            break;
    }
    EXPECT_EQ(DefaultGateway(), gateway);
    for (const std::string& line : Lines("ip -4 neigh")) {
        const std::vector<std::string> words = Words(line);
        if (!gateway.empty() && words.at(0) == gateway && !After(words, "lladdr").empty()) {
            EXPECT_EQ(identity.RT, NeighbourForm(After(words, "lladdr")));
        }
    }

    core::TLines addresses;
    for (const std::string& line : Lines("ip -4 -o addr")) {
        const std::vector<std::string> words = Words(line);
        const std::string address = After(words, "inet");
        if (!loopback[words.at(0)] && !address.empty())
            addresses.push_back(address.substr(0, address.find('/')));
    }
    EXPECT_EQ(identity.IpIn, addresses.empty() ? " " : core::JoinLines(addresses, ", "));

    const core::TLines node = Lines("uname -n");
    ASSERT_EQ(node.size(), 1u);
    EXPECT_EQ(identity.ComputerName, ShortComputerName(node[0]));
    EXPECT_EQ(identity.IpOut, "");
}
