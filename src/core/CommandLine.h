#pragma once
// What the user asks of the client on its command line:
//   quillmark-erp               start the client, or show the running one
//   quillmark-erp --settings    open the settings dialog
//   quillmark-erp ADDRESS       open an http: or https: address in a window of its own
// Other arguments that start with '-' belong to Qt and the browser engine and are passed by
// (with the value of those of Qt's options that take one).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct ClientCommand {
    enum class Kind { ShowWindow, OpenSettings, OpenAddress };
    Kind What = Kind::ShowWindow;
    std::string Address; // OpenAddress only
    bool operator==(const ClientCommand&) const = default;
};

// Longer addresses are refused, so that one always fits the hand-over line.
inline constexpr std::size_t MaxAddressLength = std::size_t{64} * 1024;

// Why `address` is not one the client opens, in one line; empty when it is: an http: or
// https: address (scheme in any case) with a host part, of at most MaxAddressLength bytes,
// without control characters.
std::string WebAddressProblem(std::string_view address);
inline bool IsWebAddress(std::string_view address)
{
    return WebAddressProblem(address).empty();
}

struct ParsedCommandLine {
    std::optional<ClientCommand> Command; // nullopt: refused, see Error
    bool Help = false;                    // "--help" or "-h": print Usage and end
    std::string Error;                    // one line, for standard error
};

// `arguments` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

inline constexpr char CommandLineUsage[] = "Usage: quillmark-erp [--settings | ADDRESS]\n"
                                           "  (none)        start the client, or show the "
                                           "running one\n"
                                           "  --settings    open the settings dialog\n"
                                           "  ADDRESS       open an http: or https: address in "
                                           "a window of its own\n";

} // namespace core
