#pragma once
// Readers of captured console output ("ipconfig /all", "ipconfig", "arp -a"), English
// and Simplified Chinese wording. Pure text logic: they never fail, and input without
// the expected labels gives empty results. Labels, colons and spaces are searched
// exactly and case-sensitively.

#include "core/Lines.h"

#include <string>
#include <string_view>

namespace core {

// Replaces `lines` (the output of "ipconfig /all") with the distinct physical addresses
// in order of first appearance, hyphens turned into colons. Addresses that differ only
// in ASCII letter case count as the same.
void ExtractMacAddresses(TLines& lines);

// The first line that contains `label` and a colon gives the trimmed text after its first
// colon (possibly empty, still found). Lines with the label but without a colon are
// passed over.
bool FindLabeledValue(const TLines& lines, std::string_view label, std::string& value);

// The gateway from the output of "ipconfig": the Chinese label wins when it occurs at
// all; the first matching line decides, even when its value is blank.
std::string FindDefaultGateway(const TLines& lines);

// The physical address of `gateway` as the neighbour table ("arp -a") prints it. When the
// gateway is not listed, the last non-broadcast entry's address is taken instead; the
// first three lines are never entries.
std::string FindGatewayMac(const std::string& gateway, const TLines& lines);

} // namespace core
