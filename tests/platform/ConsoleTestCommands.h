#pragma once
// Commands for the console runner's tests, in the form this system's runner takes them.

#include "platform/ConsoleQuote.h"
#include "platform/ProcessInfo.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform_test {

// `utf8` as a console prints it: UTF-8 here, the OEM code page on Windows.
std::string ConsoleBytes(const std::string& utf8);

// Every byte as a \xHH escape of the test printer.
inline std::string Escaped(std::string_view bytes)
{
    std::string escaped;
    for (const char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        escaped += hex;
    }
    return escaped;
}

// A program built beside the tests (tests/helpers), by its target name.
inline std::string HelperProgram(const std::string& name)
{
    return platform::ExecutableDirectory() + name + QUILLMARK_EXECUTABLE_SUFFIX;
}

// The test printer (tests/helpers/Printer.cpp) with these pieces, as one command line.
inline std::string PrinterCommand(const std::vector<std::string>& pieces)
{
    std::string command = platform::QuoteArgument(HelperProgram("quillmark-test-printer"));
    for (const std::string& piece : pieces)
        command += " " + platform::QuoteArgument(piece);
    return command;
}

} // namespace platform_test
