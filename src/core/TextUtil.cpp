#include "core/TextUtil.h"

namespace core {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t hit; (hit = text.find(from, start)) != std::string_view::npos;
         start = hit + from.size()) {
        out.append(text, start, hit - start);
        out.append(to);
    }
    out.append(text, start);
    return out;
}

} // namespace core
