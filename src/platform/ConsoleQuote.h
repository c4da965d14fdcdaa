#pragma once
// Building command lines for the console runner. Any thread.

#include <string>
#include <string_view>

namespace platform {

// One argument quoted so that the started program gets it back as it is: single quotes
// for /bin/sh here; on Windows the rules of CommandLineToArgvW (double quotes, backslashes
// doubled only before a quote), left bare when it has no blank or quote.
std::string QuoteArgument(std::string_view argument);

} // namespace platform
