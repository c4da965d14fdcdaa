#include "core/CommandLine.h"

#include <algorithm>
#include <array>

namespace core {
namespace {

// Qt's own options that take their value as the next argument.
constexpr std::array<std::string_view, 12> QtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "geometry", "qwindowicon",        "qwindowtitle",  "session", "display",
    "style",    "stylesheet"};

bool TakesValue(std::string_view option)
{
    option.remove_prefix(option.starts_with("--") ? 2 : 1);
    return std::find(QtOptionsWithValue.begin(), QtOptionsWithValue.end(), option) !=
           QtOptionsWithValue.end();
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c)
{
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme before the first ':', lower-case; empty when the text does not start with one.
std::string SchemeOf(std::string_view address)
{
    const auto colon = address.find(':');
    if (colon == address.npos || colon == 0 || !IsLetter(address[0]))
        return {};
    const std::string_view scheme = address.substr(0, colon);
    if (!std::all_of(scheme.begin(), scheme.end(), IsSchemeCharacter))
        return {};
    std::string lower(scheme);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

bool HasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

ParsedCommandLine Run(ClientCommand command)
{
    return {std::move(command), false, {}};
}

ParsedCommandLine Refused(std::string error)
{
    return {std::nullopt, false, std::move(error)};
}

} // namespace

std::string WebAddressProblem(std::string_view address)
{
    const std::string scheme = SchemeOf(address);
    if (scheme.empty())
        return "not an address: give it with http:// or https://";
    if (scheme != "http" && scheme != "https")
        return "only http: and https: addresses can be opened, not " + scheme + ":";
    if (address.size() > MaxAddressLength)
        return "the address is longer than " + std::to_string(MaxAddressLength) + " bytes";
    if (HasControlCharacter(address))
        return "the address holds control characters";
    const std::string_view rest = address.substr(scheme.size() + 1);
    if (!rest.starts_with("//") || rest.size() == 2 || rest.find_first_of("/?#", 2) == 2)
        return "not a complete address: it needs a host, as in https://host/path";
    return {};
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    bool settings = false;
    std::vector<std::string_view> addresses;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--settings")
            settings = true;
        else if (argument == "--help" || argument == "-h")
            return {std::nullopt, true, {}};
        else if (argument.starts_with('-') && argument.size() > 1)
            i += TakesValue(argument) ? 1 : 0;
        else
            addresses.push_back(argument);
    }
    if (addresses.size() > 1)
        return Refused("only one address can be opened at a time");
    if (settings && !addresses.empty())
        return Refused("--settings and an address cannot be given together");
    if (settings)
        return Run({ClientCommand::Kind::OpenSettings, {}});
    if (addresses.empty())
        return Run({});
    const std::string address(addresses.front());
    if (std::string problem = WebAddressProblem(address); !problem.empty())
        return Refused(std::move(problem));
    return Run({ClientCommand::Kind::OpenAddress, address});
}

} // namespace core
