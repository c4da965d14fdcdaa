#include "core/Base64.h"

#include <gtest/gtest.h>

using core::Base64Encode;
using namespace std::string_literals;

namespace {

TEST(Base64Encode, Rfc4648Vectors)
{
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64Encode("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
}

TEST(Base64Encode, UsesPlusAndSlashAndAllBytes)
{
    EXPECT_EQ(Base64Encode("\xfb\xff\xbf"), "+/+/");
    EXPECT_EQ(Base64Encode("\0\0\0"s), "AAAA");
    EXPECT_EQ(Base64Encode("测试"), "5rWL6K+V");
}

TEST(Base64Encode, BreaksLinesAfterSeventySixCharacters)
{
    // 57 bytes fill exactly one line of 76 characters: no break at the end.
    const std::string full = Base64Encode(std::string(57, 'a'));
    EXPECT_EQ(full.size(), 76u);
    EXPECT_EQ(full.find('\r'), std::string::npos);

    const std::string more = Base64Encode(std::string(58, 'a'));
    ASSERT_EQ(more.size(), 76u + 2 + 4);
    EXPECT_EQ(more.substr(0, 76), full);
    EXPECT_EQ(more.substr(76, 2), "\r\n");
    EXPECT_EQ(more.substr(78), "YQ==");

    const std::string three = Base64Encode(std::string(size_t{57} * 3, 'a'));
    EXPECT_EQ(three, full + "\r\n" + full + "\r\n" + full);
}

} // namespace
