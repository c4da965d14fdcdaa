#include "platform/WorkstationIdentity.h"

#include "core/Lines.h"
#include "core/NetParsers.h"
#include "platform/ConsoleRunner.h"
#include "platform/win32/WideText.h"

#include <algorithm>

#include <winsock2.h>
#include <ws2tcpip.h>
// after Winsock 2, or it brings in the old Winsock
#include <windows.h>

namespace platform {
namespace {

// Winsock for as long as the object lives.
class TSockets {
public:
    TSockets() { started_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~TSockets()
    {
        if (started_)
            ::WSACleanup();
    }
    TSockets(const TSockets&) = delete;
    TSockets& operator=(const TSockets&) = delete;
    bool Started() const { return started_; }

private:
    WSADATA data_{};
    bool started_ = false;
};

} // namespace

std::vector<std::string> AdapterMacAddresses()
{
    core::TLines lines = core::SplitToLines(RunConsoleCommand("ipconfig /all"), "\r\n");
    core::ExtractMacAddresses(lines);
    return lines;
}

std::string DefaultGateway()
{
    core::TLines lines;
    RunConsoleCommandLines("ipconfig", lines);
    return core::FindDefaultGateway(lines);
}

std::string GatewayMac(const std::string& gateway)
{
    core::TLines lines;
    RunConsoleCommandLines("arp -a", lines);
    return core::FindGatewayMac(gateway, lines);
}

std::string LocalIPv4Addresses()
{
    // The addresses the host name resolves to, in the resolver's order.
    const TSockets sockets;
    char host[256] = {};
    if (!sockets.Started() || ::gethostname(host, sizeof host - 1) != 0)
        return " ";
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &found) != 0)
        return " ";
    core::TLines dotted;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) &&
            std::find(dotted.begin(), dotted.end(), text) == dotted.end())
            dotted.emplace_back(text);
    }
    ::freeaddrinfo(found);
    return dotted.empty() ? " " : core::JoinLines(dotted, ", ");
}

std::string ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &size))
        return {};
    return ShortComputerName(win32::Narrow(std::wstring_view(name, size)));
}

} // namespace platform
