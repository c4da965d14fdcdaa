#pragma once

#include <map>
#include <string>
#include <string_view>

namespace demo {

// Escapes text for HTML element content and quoted attribute values.
std::string HtmlEscape(std::string_view text);

using TemplateValues = std::map<std::string, std::string, std::less<>>;

// Replaces each "{{NAME}}" in `page` with values[NAME], in one pass, so text inside a value
// is never taken for a placeholder. Values are inserted as they are: escape them first.
// A placeholder without a value is left as it stands.
std::string FillTemplate(std::string_view page, const TemplateValues& values);

} // namespace demo
