#pragma once
// UTF-8 of the portable headers to and from the UTF-16 of the Windows calls. Any thread.

#include <string>
#include <string_view>
#include <system_error>

namespace platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's message for a Windows error code, without the trailing line break.
std::string ErrorText(unsigned long error);
std::error_code LastError();

} // namespace platform::win32
