#include "platform/CodePage.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage)
{
    // GB18030 is 936's superset; a system without it reads 936 itself.
    if (codePage == 936 && ::IsValidCodePage(54936))
        codePage = 54936;
    if (bytes.empty())
        return {};
    const int length =
        ::MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(size_t(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), text.data(), length);
    return win32::Narrow(text);
}

} // namespace platform
