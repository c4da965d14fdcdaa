// quillmark-identity: what this workstation (or a captured Windows one) tells the service.

#include "ListingIdentity.h"
#include "core/StartAddress.h"
#include "platform/CapturedText.h"
#include "platform/ProcessInfo.h"
#include "platform/WorkstationIdentity.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int ServicePort = 6868;
constexpr int UsageError = 2;

constexpr char Help[] =
    "Usage: quillmark-identity [options]\n"
    "Prints the workstation identity the client sends to the service, one KEY=value line "
    "each, then the start address.\nThe listing options take console output captured on "
    "a Windows workstation (UTF-8 or code page 936) instead of this machine's tables.\n\n"
    "Options:\n"
    "  -h, --help            Shows this help.\n"
    "  --host <HOST>         Service host (default 127.0.0.1).\n"
    "  --ipconfig-all <FILE> \"ipconfig /all\" output: MacAddress.\n"
    "  --ipconfig <FILE>     \"ipconfig\" output: the gateway for RT.\n"
    "  --arp <FILE>          \"arp -a\" output: the gateway's address for RT.\n";

const char* const ValueOptions[] = {"--host", "--ipconfig-all", "--ipconfig", "--arp"};

int Fail(const std::string& message)
{
    std::cerr << "quillmark-identity: " << message << '\n';
    return UsageError;
}

std::optional<std::string> ReadListing(const std::string& path)
{
    std::string text, error;
    if (platform::ReadCapturedText(path, text, error))
        return text;
    Fail("cannot read '" + path + "': " + error);
    return std::nullopt;
}

// "--name value" or "--name=value" for the value options; the last one given counts.
// The message of what is wrong, else empty.
std::string ParseOptions(const std::vector<std::string>& arguments,
                         std::map<std::string, std::string>& values, bool& help)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            help = true;
            continue;
        }
        if (!argument.starts_with("-"))
            return "unexpected argument '" + argument + "' (see --help)";
        const std::string name = argument.substr(0, argument.find('='));
        if (std::find(std::begin(ValueOptions), std::end(ValueOptions), name) ==
            std::end(ValueOptions))
            return "unknown option '" + name + "' (see --help)";
        if (name.size() < argument.size())
            values[name] = argument.substr(name.size() + 1);
        else if (i + 1 < arguments.size())
            values[name] = arguments[++i];
        else
            return "missing value after '" + name + "' (see --help)";
    }
    return {};
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::string> arguments = platform::ProcessArguments(argc, argv);
    if (!arguments.empty())
        arguments.erase(arguments.begin());
    std::map<std::string, std::string> values;
    bool help = false;
    if (const std::string problem = ParseOptions(arguments, values, help); !problem.empty())
        return Fail(problem);
    if (help) {
        std::cout << Help;
        return 0;
    }
    if (values.contains("--ipconfig") != values.contains("--arp"))
        return Fail("--ipconfig and --arp go together: RT needs the gateway and the table");

    core::TWorkstationIdentity identity = platform::ReadWorkstationIdentity();
    if (values.contains("--ipconfig-all")) {
        const auto listing = ReadListing(values["--ipconfig-all"]);
        if (!listing)
            return UsageError;
        identity.MacAddress = MacAddressFromListing(*listing);
    }
    if (values.contains("--ipconfig")) {
        const auto gatewayListing = ReadListing(values["--ipconfig"]);
        const auto table = gatewayListing ? ReadListing(values["--arp"]) : std::nullopt;
        if (!table)
            return UsageError;
        identity.RT = GatewayMacFromListings(*gatewayListing, *table);
    }

    const std::string host = values.contains("--host") ? values["--host"] : "127.0.0.1";
    std::cout << "ComputerName=" << identity.ComputerName << '\n'
              << "MacAddress=" << identity.MacAddress << '\n'
              << "RT=" << identity.RT << '\n'
              << "IpOut=" << identity.IpOut << '\n'
              << "IpIn=" << identity.IpIn << '\n'
              << "StartUrl=" << core::BuildStartAddress(host, ServicePort, identity) << '\n';
    return 0;
}
