#include "platform/ConsoleQuote.h"

namespace platform {

std::string QuoteArgument(std::string_view argument)
{
    std::string quoted = "'";
    for (const char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace platform
