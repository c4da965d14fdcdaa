#include "core/PageCommand.h"

namespace core {

TPageDialog ClassifyPageDialog(std::string_view message)
{
    if (!message.starts_with(PageCommandPrefix))
        return TPageDialog::Plain;
    const std::string_view rest = message.substr(PageCommandPrefix.size());
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
        return TPageDialog::Malformed;
    const std::string_view name = rest.substr(0, colon);
    if (name == "CLEAR_CACHE")
        return TPageDialog::ClearCache;
    if (name == "RELOGIN")
        return TPageDialog::Relogin;
    return TPageDialog::Malformed;
}

} // namespace core
