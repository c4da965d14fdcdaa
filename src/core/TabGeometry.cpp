#include "core/TabGeometry.h"

#include "core/TextUtil.h"

#include <algorithm>
#include <vector>

namespace core {
namespace {

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Prefix lengths (in code units) that end on a character boundary, shortest first,
// without 0 and with the full length last.
std::vector<size_t> CharacterEnds(std::u16string_view text)
{
    std::vector<size_t> ends;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
        ends.push_back(i + 1);
    }
    return ends;
}

} // namespace

bool PtInRect(const TRect& r, int x, int y)
{
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

int ComputeTabWidth(int stripWidth, int visibleTabs)
{
    const long long available = static_cast<long long>(stripWidth) - TabStripReserve;
    const long long visible = visibleTabs;
    if (visible <= 0 || available > DefaultTabWidth * visible)
        return DefaultTabWidth;
    return std::max(MinTabWidth, static_cast<int>(std::max(0LL, available) / visible));
}

TTabRow ComputeTabRow(int stripWidth, int visibleTabs, int tabWidth)
{
    const long long available = static_cast<long long>(stripWidth) - TabStripReserve;
    const int end = static_cast<int>(std::max(0LL, available));
    if (static_cast<long long>(std::max(0, visibleTabs)) * tabWidth <= available)
        return {0, end, false};
    return {ScrollButtonWidth, std::max(ScrollButtonWidth, end - 2 * ScrollButtonWidth), true};
}

int ClampScroll(int scroll, int visibleTabs, int tabWidth, int rowWidth, int slot)
{
    if (slot >= 0) {
        scroll = std::min(scroll, slot * tabWidth);
        scroll = std::max(scroll, (slot + 1) * tabWidth - rowWidth);
    }
    const int most = std::max(0, visibleTabs * tabWidth - rowWidth);
    return std::clamp(scroll, 0, most);
}

int CaptionTop(int textHeight)
{
    return (TabHeight - textHeight) / 2 + 2;
}

std::u16string FitCaption(std::u16string_view caption, int tabWidth,
                          const std::function<int(std::u16string_view)>& measure)
{
    const std::u16string_view text = Trim(caption);
    const auto fits = [&](std::u16string_view shown) {
        return CaptionLeft + measure(shown) <= tabWidth - CloseButtonInset;
    };
    if (text.empty() || fits(text))
        return std::u16string(text);

    // The first `count` characters without the blanks before the cut, and the ellipsis.
    const std::vector<size_t> ends = CharacterEnds(text);
    const auto cut = [&](size_t count) {
        return std::u16string(Trim(text.substr(0, count == 0 ? 0 : ends[count - 1]))) + u'\u2026';
    };
    if (!fits(cut(0)))
        return {};
    // Largest character count that fits; none at all does, the full text never.
    size_t good = 0, bad = ends.size();
    while (bad - good > 1) {
        const size_t mid = good + (bad - good) / 2;
        (fits(cut(mid)) ? good : bad) = mid;
    }
    return cut(good);
}

TRect TabRect(int slot, int tabWidth)
{
    return OffsetTabRect({0, 0, tabWidth, TabHeight}, slot, tabWidth);
}

TRect CloseButtonRect(int slot, int tabWidth, int captionTop)
{
    const int left = tabWidth - CloseButtonInset;
    return OffsetTabRect({left, captionTop, left + CloseButtonSize, captionTop + CloseButtonSize},
                         slot, tabWidth);
}

TPoint CloseImagePos(int tabWidth, int captionTop)
{
    return {tabWidth - CloseButtonInset, captionTop + 2};
}

TRect OffsetTabRect(const TRect& tabRect, int slot, int tabWidth)
{
    const int dx = slot * tabWidth;
    return {tabRect.Left + dx, tabRect.Top, tabRect.Right + dx, tabRect.Bottom};
}

} // namespace core
