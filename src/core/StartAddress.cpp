#include "core/StartAddress.h"

#include "core/UrlEncode.h"

namespace core {

std::string BuildStartAddress(std::string_view host, int port, const TWorkstationIdentity& id)
{
    const bool bareIpv6 = host.find(':') != std::string_view::npos && !host.starts_with('[');
    std::string url = "http://";
    if (bareIpv6)
        url += '[';
    url += host;
    if (bareIpv6)
        url += ']';
    url += ':' + std::to_string(port) + "/?ComputerName=" + UrlEncode(id.ComputerName) +
           "&MacAddress=" + UrlEncode(id.MacAddress) + "&RT=" + UrlEncode(id.RT) +
           "&IpOut=" + UrlEncode(id.IpOut) + "&IpIn=" + UrlEncode(id.IpIn);
    return url;
}

} // namespace core
