#include "RequestParsing.h"

#include <gtest/gtest.h>

namespace {

using demo::QueryItems;

TEST(FormDecode, DecodesPlusAndPercentAndLeavesBrokenEscapes)
{
    struct Case {
        std::string encoded;
        std::string decoded;
    };
    const Case cases[] = {
        {"192.168.1.20%2C+192.168.56.1", "192.168.1.20, 192.168.56.1"},
        {"00%3A1A%3B00%3a50", "00:1A;00:50"},
        {"%E6%B5%8B%E8%AF%95", "测试"},
        {"%2B", "+"},
        {"a%00b", std::string("a\0b", 3)},
        {"100%", "100%"},
        {"%4", "%4"},
        {"%zz%4g", "%zz%4g"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(demo::FormDecode(c.encoded), c.decoded) << c.encoded;
}

TEST(ParseQuery, KeepsTheSentOrderDuplicatesAndEmptyValues)
{
    EXPECT_EQ(demo::ParseQuery("/?ComputerName=PC1&MacAddress=&RT=00-11&IpOut=&IpIn=+"),
              (QueryItems{{"ComputerName", "PC1"},
                          {"MacAddress", ""},
                          {"RT", "00-11"},
                          {"IpOut", ""},
                          {"IpIn", " "}}));
    EXPECT_EQ(demo::ParseQuery("/?b=1&a=2&b=3"), (QueryItems{{"b", "1"}, {"a", "2"}, {"b", "3"}}));
}

TEST(ParseQuery, HandlesOddShapes)
{
    struct Case {
        const char* target;
        QueryItems items;
    };
    const Case cases[] = {
        {"/", {}},
        {"/?", {}},
        {"/?&&", {}},
        {"/?flag", {{"flag", ""}}},
        {"/?a=b=c", {{"a", "b=c"}}},
        {"/?=x", {{"", "x"}}},
        {"/?a=1#part", {{"a", "1"}}},
        {"/?a%3D1=%26", {{"a=1", "&"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(demo::ParseQuery(c.target), c.items) << c.target;
}

TEST(CookieValue, FindsTheNamedCookieOnly)
{
    const std::string header = "QuillmarkSessionX=1; QuillmarkSession=20240501; empty=;  b = 2 ";
    EXPECT_EQ(demo::CookieValue(header, "QuillmarkSession"), "20240501");
    EXPECT_EQ(demo::CookieValue(header, "empty"), "");
    EXPECT_EQ(demo::CookieValue(header, "b"), "2");
    EXPECT_EQ(demo::CookieValue(header, "Quillmark"), std::nullopt);
    EXPECT_EQ(demo::CookieValue("", "b"), std::nullopt);
    EXPECT_EQ(demo::CookieValue(";;=;", "b"), std::nullopt);
}

} // namespace
