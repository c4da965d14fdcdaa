#pragma once
// The service's start address, which tells the start page which workstation calls.

#include <string>
#include <string_view>

namespace core {

// UTF-8 values as read from the workstation, not yet encoded.
struct TWorkstationIdentity {
    std::string ComputerName;
    std::string MacAddress; // physical addresses joined by ";"
    std::string RT;         // the default gateway's physical address
    std::string IpOut;      // always empty today; sent all the same
    std::string IpIn;       // IPv4 addresses joined by ", "
};

// "http://HOST:PORT/?ComputerName=..&MacAddress=..&RT=..&IpOut=..&IpIn=.." with every
// value form-encoded. An IPv6 literal host is put in brackets.
std::string BuildStartAddress(std::string_view host, int port, const TWorkstationIdentity& id);

} // namespace core
