#pragma once
// Geometry of the owner-drawn tab strip. All tabs have the same width W and sit in one
// row, in page order; a page whose tab is hidden takes no room. A tab's slot is its place
// among the visible tabs, from 0 at the left: slot k spans x = k * W to (k + 1) * W in
// row coordinates. While the tabs fit, the row starts at the strip's left edge; when they
// do not fit at MinTabWidth, the row scrolls between arrow buttons (TTabRow). In the
// steady layout (page 0 and the spare page hidden) page p has slot p - 1.

#include <functional>
#include <string>
#include <string_view>

namespace core {

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TRect&) const = default;
};

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Left and top edges are inside, right and bottom edges outside.
bool PtInRect(const TRect& r, int x, int y);

constexpr int TabHeight = 29;
constexpr int DefaultTabWidth = 178;
constexpr int TabStripReserve = 56 + 34; // strip width the tabs may not use
// Positions and sizes inside a tab, in the tab's own coordinates.
constexpr TPoint IconPos{5, 7};
constexpr int IconSize = 16;
constexpr int CaptionLeft = 25;
constexpr int CloseButtonInset = 19; // from the tab's right edge to the close button
constexpr int CloseButtonSize = 12;  // hit area
constexpr int CloseImageSize = 10;
// The narrowest tab: its icon and its close button side by side, with a gap between.
constexpr int MinTabWidth = CloseButtonInset + IconPos.X + IconSize + 8;
// Each arrow button and the tab list button of a strip that scrolls.
constexpr int ScrollButtonWidth = 20;

// Width of each of `visibleTabs` tabs: the default while they fit, else the available
// width shared out (truncated), never under MinTabWidth. With no visible tab the default.
int ComputeTabWidth(int stripWidth, int visibleTabs);

// Where the tabs show in the strip, in strip coordinates: from the left edge while they
// fit; else between a left arrow and, at the end, a right arrow and the tab list button.
struct TTabRow {
    int Left = 0, Right = 0;
    bool Scrolls = false;
    bool operator==(const TTabRow&) const = default;
};
TTabRow ComputeTabRow(int stripWidth, int visibleTabs, int tabWidth);

// The scroll offset of a row `rowWidth` wide nearest to `scroll` that shows no room past
// the last tab and, with a slot given (>= 0), all of that slot.
int ClampScroll(int scroll, int visibleTabs, int tabWidth, int rowWidth, int slot = -1);

// Top of the caption (and of the close button's hit area) for a caption `textHeight` high.
int CaptionTop(int textHeight);

// The caption without surrounding blanks if CaptionLeft + width <= tabWidth -
// CloseButtonInset; else the longest start of it that fits followed by an ellipsis, or
// empty when not even the ellipsis fits. A surrogate pair is one character. Assumes `measure` never
// shrinks when text is appended: it searches the cut by bisection instead of measuring after every
// removed character.
std::u16string FitCaption(std::u16string_view caption, int tabWidth,
                          const std::function<int(std::u16string_view)>& measure);

// The whole tab in `slot`, in strip coordinates.
TRect TabRect(int slot, int tabWidth);

// The close button's hit area of the tab in `slot`, in strip coordinates.
TRect CloseButtonRect(int slot, int tabWidth, int captionTop);

// Top-left corner of the close image in the tab's own coordinates.
TPoint CloseImagePos(int tabWidth, int captionTop);

// A rectangle in the coordinates of the tab in `slot` moved into strip coordinates.
TRect OffsetTabRect(const TRect& tabRect, int slot, int tabWidth);

} // namespace core
