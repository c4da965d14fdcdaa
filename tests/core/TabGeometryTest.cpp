#include "core/TabGeometry.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

TEST(TabGeometry, DefaultTabLayout)
{
    // Width 178, height 29, a caption 14 pixels high.
    const int y = CaptionTop(14);
    EXPECT_EQ(y, 9);
    EXPECT_EQ(CloseImagePos(DefaultTabWidth, y), (TPoint{159, 11}));

    const TRect hit = CloseButtonRect(0, DefaultTabWidth, y);
    EXPECT_EQ(hit, (TRect{159, 9, 171, 21}));
    EXPECT_TRUE(PtInRect(hit, 159, 9));
    EXPECT_TRUE(PtInRect(hit, 170, 20));
    EXPECT_FALSE(PtInRect(hit, 171, 20));
    EXPECT_FALSE(PtInRect(hit, 170, 21));
    EXPECT_FALSE(PtInRect(hit, 158, 9));
    EXPECT_FALSE(PtInRect(hit, 159, 8));
}

TEST(TabGeometry, LaterSlotsMoveByWholeTabs)
{
    EXPECT_EQ(CloseButtonRect(1, 178, 9), (TRect{337, 9, 349, 21}));
    EXPECT_EQ(CloseButtonRect(3, 153, 7), (TRect{593, 7, 605, 19}));
    EXPECT_EQ(TabRect(0, 178), (TRect{0, 0, 178, 29}));
    EXPECT_EQ(TabRect(2, 178), (TRect{356, 0, 534, 29}));
    EXPECT_EQ(OffsetTabRect({2, 3, 150, 28}, 1, 150), (TRect{152, 3, 300, 28}));
}

TEST(TabGeometry, EmptyRectContainsNothing)
{
    EXPECT_FALSE(PtInRect({}, 0, 0));
    EXPECT_FALSE(PtInRect({5, 5, 5, 9}, 5, 6));
}

TEST(TabGeometry, CaptionTopTruncatesTowardZero)
{
    EXPECT_EQ(CaptionTop(15), 9);
    EXPECT_EQ(CaptionTop(13), 10);
    EXPECT_EQ(CaptionTop(29), 2);
    EXPECT_EQ(CaptionTop(32), 1); // -3 / 2 = -1
    EXPECT_EQ(CaptionTop(0), 16);
}

struct WidthCase {
    int stripWidth;
    int visibleTabs;
    int expected;
};

class TabWidthTest : public testing::TestWithParam<WidthCase> {};

TEST_P(TabWidthTest, Computes)
{
    EXPECT_EQ(ComputeTabWidth(GetParam().stripWidth, GetParam().visibleTabs), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabWidthTest,
                         testing::Values(WidthCase{1008, 5, 178},  // five tabs fit
                                         WidthCase{1008, 6, 153},  // six share 918 pixels
                                         WidthCase{1008, 1, 178},  // start tab alone
                                         WidthCase{1008, 0, 178},  // no visible tab
                                         WidthCase{1008, -2, 178}, // nonsense count
                                         WidthCase{980, 5, 178},   // 890 = 5 * 178: shared
                                         WidthCase{979, 5, 177},   // 889 / 5 truncated
                                         WidthCase{1008, 19, 48},  // 918 / 19 = 48
                                         WidthCase{1008, 20, 48},  // never narrower
                                         WidthCase{90, 3, 48},     // nothing available
                                         WidthCase{0, 998, 48},
                                         WidthCase{2000000000, 20000000, 99}));

TEST(TabGeometry, RowScrollsOnlyWhenTabsDoNotFit)
{
    EXPECT_EQ(ComputeTabRow(1008, 19, 48), (TTabRow{0, 918, false}));
    EXPECT_EQ(ComputeTabRow(1008, 20, 48), (TTabRow{20, 878, true}));
    // 200 tabs of 48 in a row 858 wide: the last tab in view, the first, a middle one.
    EXPECT_EQ(ClampScroll(0, 200, 48, 858, 199), 9600 - 858);
    EXPECT_EQ(ClampScroll(9600 - 858, 200, 48, 858, 0), 0);
    EXPECT_EQ(ClampScroll(3000, 200, 48, 858, 100), 4800 + 48 - 858);
}

// Every character 7 pixels wide; a surrogate pair is one character.
int FixedWidth(std::u16string_view text)
{
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size())
            ++i;
        ++chars;
    }
    return chars * 7;
}

struct CaptionCase {
    const char* name;
    std::u16string caption;
    int tabWidth;
    std::u16string expected;
};

class FitCaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(FitCaptionTest, Cuts)
{
    const CaptionCase& c = GetParam();
    EXPECT_EQ(FitCaption(c.caption, c.tabWidth, FixedWidth), c.expected);
}

// Tab 178 leaves 178 - 19 - 25 = 134 pixels: 19 characters of 7 pixels.
INSTANTIATE_TEST_SUITE_P(
    Cases, FitCaptionTest,
    testing::Values(
        CaptionCase{"Fits", u"QuillmarkERP", 178, u"QuillmarkERP"},
        CaptionCase{"ExactlyFits", std::u16string(19, u'x'), 178, std::u16string(19, u'x')},
        CaptionCase{"OneTooMany", std::u16string(20, u'x'), 178, std::u16string(18, u'x') + u"…"},
        CaptionCase{"Chinese", u"正在检测安全环境正在检测安全环境正在检测安全环境", 178,
                    u"正在检测安全环境正在检测安全环境正在…"},
        CaptionCase{"BlanksTrimmed", u"  \t新页面\r\n ", 178, u"新页面"},
        CaptionCase{"OnlyBlanks", u" \t ", 178, u""}, CaptionCase{"Empty", u"", 178, u""},
        CaptionCase{"BlankBeforeCutDropped", u"abcdefghijklmnopq rstuvw", 178,
                    u"abcdefghijklmnopq…"},
        CaptionCase{"SurrogatePairAtCut", std::u16string(17, u'a') + u"\U0001F600\U0001F600bc", 178,
                    std::u16string(17, u'a') + u"\U0001F600…"},
        CaptionCase{"NarrowTabKeepsOne", u"abc", 58, u"a…"},
        CaptionCase{"OnlyTheEllipsis", u"abc", 51, u"…"},
        CaptionCase{"CannotFitAtAll", u"abc", 50, u""},
        CaptionCase{"NegativeRoom", u"abc", 0, u""}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return std::string(info.param.name); });

TEST(FitCaption, LongCaptionNeedsFewMeasurements)
{
    const std::u16string caption(100000, u'w');
    int calls = 0;
    const auto counting = [&](std::u16string_view text) {
        ++calls;
        return FixedWidth(text);
    };
    EXPECT_EQ(FitCaption(caption, 178, counting), std::u16string(18, u'w') + u"…");
    EXPECT_LT(calls, 64);
}

TEST(FitCaption, FittingCaptionIsMeasuredOnce)
{
    int calls = 0;
    const auto counting = [&](std::u16string_view text) {
        ++calls;
        return FixedWidth(text);
    };
    EXPECT_EQ(FitCaption(u" QuillmarkERP ", 178, counting), u"QuillmarkERP");
    EXPECT_EQ(calls, 1);
}

TEST(FitCaption, NeverMeasuresHalfAPair)
{
    std::u16string caption;
    for (int i = 0; i < 1000; ++i)
        caption += u"\U0001F600";
    const auto strict = [](std::u16string_view text) {
        EXPECT_FALSE(!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF);
        return FixedWidth(text);
    };
    const std::u16string fitted = FitCaption(caption, 178, strict);
    EXPECT_EQ(fitted.size(), 37u); // 18 pairs and the ellipsis
}

} // namespace
