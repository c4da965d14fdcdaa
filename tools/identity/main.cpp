// quillmark-identity: what this workstation (or a captured Windows one) tells the service.

#include "ListingIdentity.h"
#include "core/StartAddress.h"
#include "platform/CapturedText.h"
#include "platform/WorkstationIdentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <iostream>
#include <optional>

namespace {

constexpr int ServicePort = 6868;
constexpr int UsageError = 2;

int Fail(const std::string& message)
{
    std::cerr << "quillmark-identity: " << message << '\n';
    return UsageError;
}

std::optional<std::string> ReadListing(const QString& path)
{
    std::string text, error;
    if (platform::ReadCapturedText(path.toStdString(), text, error))
        return text;
    Fail("cannot read '" + path.toStdString() + "': " + error);
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("quillmark-identity");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the workstation identity the client sends to the service, one KEY=value line "
        "each, then the start address.\nThe listing options take console output captured on "
        "a Windows workstation (UTF-8 or code page 936) instead of this machine's tables.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption host("host", "Service host (default 127.0.0.1).", "HOST", "127.0.0.1");
    const QCommandLineOption ipconfigAll("ipconfig-all", "\"ipconfig /all\" output: MacAddress.",
                                         "FILE");
    const QCommandLineOption ipconfig("ipconfig", "\"ipconfig\" output: the gateway for RT.",
                                      "FILE");
    const QCommandLineOption arp("arp", "\"arp -a\" output: the gateway's address for RT.", "FILE");
    parser.addOptions({help, host, ipconfigAll, ipconfig, arp});

    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(parser.errorText().toStdString() + " (see --help)");
    if (parser.isSet(help)) {
        std::cout << parser.helpText().toStdString();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail("unexpected argument '" + parser.positionalArguments().first().toStdString() +
                    "' (see --help)");
    if (parser.isSet(ipconfig) != parser.isSet(arp))
        return Fail("--ipconfig and --arp go together: RT needs the gateway and the table");

    core::TWorkstationIdentity identity = platform::ReadWorkstationIdentity();
    if (parser.isSet(ipconfigAll)) {
        const auto listing = ReadListing(parser.value(ipconfigAll));
        if (!listing)
            return UsageError;
        identity.MacAddress = MacAddressFromListing(*listing);
    }
    if (parser.isSet(ipconfig)) {
        const auto gatewayListing = ReadListing(parser.value(ipconfig));
        const auto table = gatewayListing ? ReadListing(parser.value(arp)) : std::nullopt;
        if (!table)
            return UsageError;
        identity.RT = GatewayMacFromListings(*gatewayListing, *table);
    }

    std::cout << "ComputerName=" << identity.ComputerName << '\n'
              << "MacAddress=" << identity.MacAddress << '\n'
              << "RT=" << identity.RT << '\n'
              << "IpOut=" << identity.IpOut << '\n'
              << "IpIn=" << identity.IpIn << '\n'
              << "StartUrl="
              << core::BuildStartAddress(parser.value(host).toStdString(), ServicePort, identity)
              << '\n';
    return 0;
}
