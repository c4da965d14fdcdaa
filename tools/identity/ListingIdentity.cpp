#include "ListingIdentity.h"

#include "core/Lines.h"
#include "core/NetParsers.h"

std::string MacAddressFromListing(const std::string& ipconfigAllText)
{
    core::TLines lines = core::SplitToLines(ipconfigAllText, "\r\n");
    core::ExtractMacAddresses(lines);
    return core::JoinLines(lines, ";");
}

std::string GatewayMacFromListings(const std::string& ipconfigText, const std::string& arpText)
{
    const std::string gateway = core::FindDefaultGateway(core::SplitToLines(ipconfigText, "\r\n"));
    return core::FindGatewayMac(gateway, core::SplitToLines(arpText, "\r\n"));
}
