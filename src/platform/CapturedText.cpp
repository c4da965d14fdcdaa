#include "platform/CapturedText.h"

#include "core/TextCodec.h"
#include "platform/CodePage.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform {
namespace {

constexpr std::streamsize MaxCapturedSize = std::streamsize{16} << 20;

std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    // An odd byte at the end is half a character.
    return core::Utf16ToUtf8(units) + (bytes.size() % 2 ? "\xEF\xBF\xBD" : "");
}

} // namespace

std::string DecodeCapturedBytes(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true);
    if (core::IsValidUtf8(bytes))
        return std::string(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    return CodePageToUtf8(bytes, 936);
}

bool ReadCapturedText(const std::string& path, std::string& text, std::string& error)
{
    // The path is UTF-8 on every system; a u8 path says so to Windows too.
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        error = std::make_error_code(std::errc::is_a_directory).message();
        return false;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = errno ? std::generic_category().message(errno) : "cannot open";
        return false;
    }
    std::string bytes;
    char chunk[65536];
    while (in && bytes.size() <= static_cast<size_t>(MaxCapturedSize)) {
        in.read(chunk, sizeof chunk);
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
    }
    if (in.bad()) {
        error = "read error";
        return false;
    }
    if (bytes.size() > static_cast<size_t>(MaxCapturedSize)) {
        error = "larger than 16 MB, not a console listing";
        return false;
    }
    text = DecodeCapturedBytes(bytes);
    return true;
}

} // namespace platform
