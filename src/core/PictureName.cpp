#include "core/PictureName.h"

namespace core {
namespace {

constexpr size_t MaxFileNameBytes = 255;

} // namespace

TPictureSaveName PictureSaveName(std::string_view address)
{
    // The name follows the last separator: "/" (a backslash once written as a path) or ":".
    const size_t separator = address.find_last_of("/\\:");
    std::string_view name =
        separator == std::string_view::npos ? address : address.substr(separator + 1);
    if (name.size() > MaxFileNameBytes)
        name = {};
    const size_t dot = name.rfind('.');
    TPictureSaveName result;
    result.FileName = std::string(name);
    result.Extension =
        dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
    result.Filter = "*" + result.Extension;
    return result;
}

} // namespace core
