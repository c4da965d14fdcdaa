#include "core/UrlEncode.h"

#include <gtest/gtest.h>

using core::UrlEncode;
using namespace std::string_literals;

namespace {

TEST(UrlEncode, SeventyTwoBytesPassUnchanged)
{
    const std::string passing =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@!$'()*-._";
    ASSERT_EQ(passing.size(), 72u);
    EXPECT_EQ(UrlEncode(passing), passing);
}

TEST(UrlEncode, EveryOtherByteIsEscapedInUpperCaseHex)
{
    const std::string passing =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@!$'()*-._";
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        if (b == ' ' || passing.find(c) != std::string::npos)
            continue;
        const std::string expected = {'%', Hex[b >> 4], Hex[b & 15]};
        EXPECT_EQ(UrlEncode(std::string(1, c)), expected) << "byte " << b;
    }
}

TEST(UrlEncode, Examples)
{
    EXPECT_EQ(UrlEncode(" "), "+");
    EXPECT_EQ(UrlEncode("a b~c:d;e,f/g"), "a+b%7Ec%3Ad%3Be%2Cf%2Fg");
    EXPECT_EQ(UrlEncode("测试"), "%E6%B5%8B%E8%AF%95");
    EXPECT_EQ(UrlEncode("00-11-22-33-44-55"), "00-11-22-33-44-55");
    EXPECT_EQ(UrlEncode(""), "");
}

TEST(UrlEncode, StopsAtFirstZeroByte)
{
    EXPECT_EQ(UrlEncode("ab\0cd"s), "ab");
    EXPECT_EQ(UrlEncode("\0"s), "");
}

} // namespace
