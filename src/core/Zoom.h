#pragma once
// Page zoom: the steps Ctrl+plus and Ctrl+minus walk through, the bounds, and the
// [ZOOM] entries of config.ini (host=percent).

#include <optional>
#include <string>
#include <string_view>

namespace core {

inline constexpr int MinZoomPercent = 25;
inline constexpr int MaxZoomPercent = 500;
inline constexpr int DefaultZoomPercent = 100;

// The next step above (or below) `percent`, which need not be a step itself; the bound
// when there is none beyond it.
int NextZoomStep(int percent, bool up);

// A stored percentage: a decimal integer from MinZoomPercent to MaxZoomPercent, blanks
// around it allowed; anything else is nullopt (and reads as "no zoom stored").
std::optional<int> ParseZoomPercent(std::string_view text);

// The [ZOOM] key of a host: lower-case, with every byte other than a-z, 0-9, '.', '-'
// and '_' written as %XX. So no key can hold '=', ']', ';', '[', blanks or line breaks,
// which would end the key, open a section or be trimmed away. Empty for an empty host
// (nothing is stored for pages without one).
std::string ZoomKeyOfHost(std::string_view host);

} // namespace core
