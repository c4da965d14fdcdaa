#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

std::string IconvName(unsigned codePage)
{
    return codePage == 936 || codePage == 54936 ? "GB18030" : "CP" + std::to_string(codePage);
}

} // namespace

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage)
{
    const iconv_t converter = ::iconv_open("UTF-8", IconvName(codePage).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string text;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = ::iconv(converter, &in, &inLeft, &out, &outLeft);
        text.append(buffer, sizeof buffer - outLeft);
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ, or EINVAL for a sequence cut off at the end: skip one byte.
            text += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    ::iconv_close(converter);
    return text;
}

} // namespace platform
