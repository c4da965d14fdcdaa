#pragma once
// Readers of the kernel's routing and neighbour tables (/proc/net/route, /proc/net/arp).
// Pure functions of the files' text, so they can be tried on captured content. Text that
// does not look like the table gives empty results.

#include "core/Lines.h"

#include <string>
#include <string_view>

namespace platform {

// The gateway of the first default route (destination 00000000, gateway flag set) in
// dotted decimal; the addresses in the file are in the host's byte order.
std::string ParseDefaultGateway(std::string_view routeText);

// The complete entries of the table as "arp -a" would list them: an empty line, an
// interface line, the column header, then one "  address  physical-address  type" row
// per entry, the physical address lower-case with hyphens. Incomplete entries (flags 0)
// are left out.
core::TLines ArpTableAsListing(std::string_view arpText);

// The gateway's physical address by the rule of the listing reader, fallback included.
std::string ParseGatewayMac(const std::string& gateway, std::string_view arpText);

} // namespace platform
