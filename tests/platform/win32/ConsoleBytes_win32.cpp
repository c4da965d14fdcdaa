#include "../ConsoleTestCommands.h"

#include <windows.h>

namespace platform_test {

std::string ConsoleBytes(const std::string& utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                             int(wide.size()))));
    std::string bytes(wide.size() * 4, '\0');
    bytes.resize(size_t(::WideCharToMultiByte(::GetOEMCP(), 0, wide.data(), int(wide.size()),
                                              bytes.data(), int(bytes.size()), nullptr, nullptr)));
    return bytes;
}

} // namespace platform_test
