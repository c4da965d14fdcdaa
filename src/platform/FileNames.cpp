#include "platform/FileNames.h"

namespace platform {

bool IsTemporaryOf(std::string_view name, std::string_view candidate)
{
    if (candidate.substr(0, name.size()) != name)
        return false;
    candidate.remove_prefix(name.size());
    if (candidate.substr(0, sizeof TemporaryInfix - 1) == TemporaryInfix)
        return candidate.size() == sizeof TemporaryInfix - 1 + TemporaryRandomLength;
    constexpr std::string_view EarlierInfix = ".tmp";
    if (candidate.substr(0, EarlierInfix.size()) != EarlierInfix)
        return false;
    candidate.remove_prefix(EarlierInfix.size());
    return !candidate.empty() &&
           candidate.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string SetAsideName(const std::string& path, int attempt)
{
    return path + ".bad" + (attempt ? "." + std::to_string(attempt) : "");
}

} // namespace platform
