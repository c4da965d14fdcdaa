#include "core/Lines.h"

#include <gtest/gtest.h>

using core::JoinLines;
using core::SplitToLines;
using core::TLines;

namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::string separator;
    TLines expected;
};

class SplitToLinesTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitToLinesTest, Splits)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitToLines(c.text, c.separator), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitToLinesTest,
    testing::Values(
        SplitCase{"Empty", "", "\r\n", {}}, SplitCase{"NoBreak", "one", "\r\n", {"one"}},
        SplitCase{"FinalCrLfAddsNoLine", "a\r\nb\r\n", "\r\n", {"a", "b"}},
        SplitCase{"InnerEmptyLinesKept", "a\r\n\r\n\r\nb", "\r\n", {"a", "", "", "b"}},
        SplitCase{"LeadingEmptyLineKept", "\r\nx", "\r\n", {"", "x"}},
        SplitCase{"OnlyBreak", "\r\n", "\r\n", {""}},
        SplitCase{"LoneLf", "a\nb", "\r\n", {"a", "b"}},
        SplitCase{"LoneCr", "a\rb", "\r\n", {"a", "b"}},
        SplitCase{"CrCrLfIsTwoBreaks", "a\r\r\nb", "\r\n", {"a", "", "b"}},
        SplitCase{"LfCrIsTwoBreaks", "a\n\rb", "\r\n", {"a", "", "b"}},
        SplitCase{"EndsAtNul", "a\r\nb\0c\r\nd"s, "\r\n", {"a", "b"}},
        SplitCase{"NulFirst", "\0abc"s, "\r\n", {}},
        SplitCase{"SeparatorReplaced", "a;b;;c", ";", {"a", "b", "", "c"}},
        SplitCase{"SeparatorCaseSensitive", "aXbxc", "X", {"a", "bxc"}},
        SplitCase{"SeparatorAtEnd", "a|", "|", {"a"}},
        SplitCase{"MultiCharSeparator", "a<br>b<br", "<br>", {"a", "b<br"}},
        SplitCase{"EmptySeparatorReplacesNothing", "ab\ncd", "", {"ab", "cd"}},
        SplitCase{"NulInsideSeparatorIsReplaced", "a\0b\0c"s, "\0"s, {"a", "b", "c"}},
        SplitCase{
            "Utf8Kept", "物理地址. . : 1\r\n默认网关", "\r\n", {"物理地址. . : 1", "默认网关"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SplitToLines, LongTextWithoutBreaksIsOneLine)
{
    const std::string text(size_t{10} << 20, 'x');
    const TLines lines = SplitToLines(text, "\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), text.size());
}

TEST(JoinLines, PutsSeparatorOnlyBetweenLines)
{
    EXPECT_EQ(JoinLines({}, ";"), "");
    EXPECT_EQ(JoinLines({"a"}, ";"), "a");
    EXPECT_EQ(JoinLines({"a", "", "b"}, ", "), "a, , b");
}

} // namespace
