#pragma once
// Text in a Windows code page (what a console there prints, or a file saved from it), as
// UTF-8. Any thread.

#include <string>
#include <string_view>

namespace platform {

// Code page 936 is read as GB18030, its superset. A byte that is no character of the code
// page becomes a replacement character (U+FFFD here, Windows' own default on Windows), so
// the rest of the text survives; a code page the system does not know gives empty text.
std::string CodePageToUtf8(std::string_view bytes, unsigned codePage);

} // namespace platform
