// quillmark-demo-service: serves the demo pages on one address until SIGINT or SIGTERM.
#include "DemoService.h"

#include <pthread.h>

#include <charconv>
#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* Usage = R"(Usage: quillmark-demo-service [OPTIONS]
A local stand-in for the QuillmarkERP service.

  --host HOST     address to listen on (default 127.0.0.1)
  --port PORT     port to listen on (default 6868)
  --version TEXT  version announced in /ver/ver.html (default: the client's own,
                  so the client offers no update)
  --info TEXT     Info text of /ver/ver.html (default empty)
  --help          show this help
)";

struct CommandLine {
    std::string host = "127.0.0.1";
    int port = 6868;
    demo::ServiceOptions service;
    bool help = false;
};

std::optional<int> ParsePort(std::string_view text)
{
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// Accepts "--name value" and "--name=value". On a mistake, says what is wrong in `error`.
std::optional<CommandLine> Parse(int argc, char* argv[], std::string& error)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
            continue;
        }
        std::optional<std::string_view> value;
        if (const auto eq = arg.find('='); eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        if (arg != "--host" && arg != "--port" && arg != "--version" && arg != "--info") {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 == argc) {
                error = std::string(arg) + " needs a value";
                return std::nullopt;
            }
            value = argv[++i];
        }
        if (arg == "--host") {
            line.host = *value;
        } else if (arg == "--port") {
            const auto port = ParsePort(*value);
            if (!port) {
                error = "not a port: " + std::string(*value);
                return std::nullopt;
            }
            line.port = *port;
        } else if (arg == "--version") {
            line.service.version = *value;
        } else {
            line.service.info = *value;
        }
    }
    return line;
}

} // namespace

int main(int argc, char* argv[])
{
    std::string error;
    const auto line = Parse(argc, argv, error);
    if (!line) {
        std::cerr << "quillmark-demo-service: " << error << "\n\n" << Usage;
        return 2;
    }
    if (line->help) {
        std::cout << Usage;
        return 0;
    }

    // Block the stop signals in every thread (the server's workers inherit the mask), so
    // that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    demo::DemoService service(line->service, &std::cout);
    if (service.Start(line->host, line->port) < 0) {
        std::cerr << "quillmark-demo-service: cannot listen on " << line->host << " port "
                  << line->port << " (in use, or not an address of this machine)\n";
        return 1;
    }
    const bool ipv6 = line->host.find(':') != std::string::npos;
    std::cout << (std::string("QuillmarkERP demo service listening on http://") +
                  (ipv6 ? "[" + line->host + "]" : line->host) + ':' + std::to_string(line->port) +
                  "/ (version " + line->service.version + "); stop with Ctrl+C\n")
              << std::flush;

    int received = 0;
    sigwait(&stopSignals, &received);
    service.Stop();
    std::cout << "demo service stopped\n" << std::flush;
    return 0;
}
