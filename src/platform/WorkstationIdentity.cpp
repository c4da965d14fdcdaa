#include "platform/WorkstationIdentity.h"

#include "core/Lines.h"

namespace platform {

std::string ShortComputerName(std::string_view hostName)
{
    hostName = hostName.substr(0, hostName.find('.'));
    size_t characters = 0;
    for (size_t i = 0; i < hostName.size(); ++i) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((static_cast<unsigned char>(hostName[i]) & 0xC0) != 0x80 && ++characters > 15)
            return std::string(hostName.substr(0, i));
    }
    return std::string(hostName);
}

core::TWorkstationIdentity ReadWorkstationIdentity()
{
    core::TWorkstationIdentity identity;
    identity.ComputerName = ComputerName();
    identity.MacAddress = core::JoinLines(AdapterMacAddresses(), ";");
    identity.RT = GatewayMac(DefaultGateway());
    identity.IpIn = LocalIPv4Addresses();
    return identity;
}

} // namespace platform
