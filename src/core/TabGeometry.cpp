#include "core/TabGeometry.h"

#include "core/TextUtil.h"

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
    return available < 0 ? 0 : static_cast<int>(available / visible);
}

int CaptionTop(int textHeight)
{
    return (TabHeight - textHeight) / 2 + 2;
}

std::u16string FitCaption(std::u16string_view caption, int tabWidth,
                          const std::function<int(std::u16string_view)>& measure)
{
    const std::u16string_view text = Trim(caption);
    auto fits = [&](size_t length) {
        return CaptionLeft + measure(text.substr(0, length)) <= tabWidth - CloseButtonInset;
    };
    if (text.empty() || fits(text.size()))
        return std::u16string(text);

    // Largest character count that fits; the full text does not, none at all always does.
    const std::vector<size_t> ends = CharacterEnds(text);
    size_t good = 0, bad = ends.size();
    while (bad - good > 1) {
        const size_t mid = good + (bad - good) / 2;
        (fits(ends[mid - 1]) ? good : bad) = mid;
    }
    return std::u16string(text.substr(0, good == 0 ? 0 : ends[good - 1]));
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
