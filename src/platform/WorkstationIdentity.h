#pragma once
// Who this workstation is, in the form the service's start page expects: physical
// addresses upper-case with colons, the gateway's physical address as the neighbour
// table prints it (lower-case with hyphens). Reads the system's tables directly, starts
// no command and never waits; any thread. On Windows the addresses come from
// "ipconfig /all", "ipconfig" and "arp -a" through the console runner (so they block for
// as long as those run; never on the UI thread) and the IPv4 list from the host name's
// addresses.

#include "core/StartAddress.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Every adapter's physical address except the loopback's, in interface order, upper-case
// with colons, each once. Adapters without an address (or an all-zero one) give none.
std::vector<std::string> AdapterMacAddresses();

// The IPv4 default gateway in dotted decimal; empty when there is none.
std::string DefaultGateway();

// The physical address of `gateway` in the neighbour table, e.g. 00-11-22-33-44-55. When
// the gateway is not there, the last complete entry that is not the broadcast address.
std::string GatewayMac(const std::string& gateway);

// The IPv4 addresses of all interfaces except loopback ones, in interface order, joined
// by ", "; one space when there is none.
std::string LocalIPv4Addresses();

// The machine's short network name; empty when it cannot be read.
std::string ComputerName();

// A host name as the client sends it: up to the first '.', at most 15 characters (UTF-8
// characters, never cut inside one).
std::string ShortComputerName(std::string_view hostName);

// All of the above; IpOut stays empty.
core::TWorkstationIdentity ReadWorkstationIdentity();

} // namespace platform
