#include "../ConsoleTestCommands.h"

namespace platform_test {

std::string ConsoleBytes(const std::string& utf8)
{
    return utf8;
}

} // namespace platform_test
