#pragma once
// The identity values a Windows workstation computes from its console listings.

#include <string>

// "ipconfig /all" output -> the physical addresses joined by ";".
std::string MacAddressFromListing(const std::string& ipconfigAllText);

// "ipconfig" and "arp -a" output -> the default gateway's physical address.
std::string GatewayMacFromListings(const std::string& ipconfigText, const std::string& arpText);
