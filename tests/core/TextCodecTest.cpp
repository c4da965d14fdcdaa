#include "core/TextCodec.h"

#include <gtest/gtest.h>

using core::IsValidUtf8;
using namespace std::string_literals;

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
};

class IsValidUtf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(IsValidUtf8Test, Judges)
{
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsValidUtf8Test,
    testing::Values(
        Utf8Case{"Empty", "", true}, Utf8Case{"Ascii", "{\"Version\":\"1\"}", true},
        Utf8Case{"Nul", "a\0b"s, true}, Utf8Case{"Chinese", "发现新版本", true},
        Utf8Case{"TwoByteMin", "\xC2\x80", true}, Utf8Case{"ThreeByteMin", "\xE0\xA0\x80", true},
        Utf8Case{"LastBeforeSurrogates", "\xED\x9F\xBF", true},
        Utf8Case{"FirstAfterSurrogates", "\xEE\x80\x80", true},
        Utf8Case{"FourByte", "\xF0\x9F\x98\x80", true},
        Utf8Case{"MaxCodePoint", "\xF4\x8F\xBF\xBF", true},
        Utf8Case{"Gbk", "\xB7\xA2\xCF\xD6", false}, Utf8Case{"LoneContinuation", "\x80", false},
        Utf8Case{"OverlongTwoByte", "\xC0\xAF", false}, Utf8Case{"OverlongC1", "\xC1\xBF", false},
        Utf8Case{"OverlongThreeByte", "\xE0\x80\xAF", false},
        Utf8Case{"OverlongFourByte", "\xF0\x8F\xBF\xBF", false},
        Utf8Case{"Surrogate", "\xED\xA0\x80", false},
        Utf8Case{"AboveMax", "\xF4\x90\x80\x80", false},
        Utf8Case{"LeadF5", "\xF5\x80\x80\x80", false}, Utf8Case{"LeadFF", "\xFF", false},
        Utf8Case{"TruncatedAtEnd", "ab\xE6\xB5", false},
        Utf8Case{"BadThirdByte", "\xE6\xB5\x41", false},
        Utf8Case{"BadFourthByte", "\xF0\x9F\x98\x41", false}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

} // namespace
