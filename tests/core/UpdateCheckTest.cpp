#include "core/UpdateCheck.h"

#include "core/Base64.h"

#include <gtest/gtest.h>

using namespace core;
using namespace std::string_literals;

namespace {

constexpr std::string_view OwnVersion = "1.0.0.2";
constexpr std::string_view DefaultQuestion = "发现新版本，确定要更新吗？";

TVersionInfo Parse(std::string_view text)
{
    std::string error;
    const std::optional<TVersionInfo> info = ParseVersionFile(text, &error);
    EXPECT_TRUE(info.has_value()) << error;
    return info.value_or(TVersionInfo{});
}

struct VersionCase {
    const char* name;
    std::string text;
    bool isNew;
    std::string question;
};

class VersionFileTest : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionFileTest, DecidesAndAsks)
{
    const TVersionInfo info = Parse(GetParam().text);
    EXPECT_EQ(IsNewVersion(info, OwnVersion), GetParam().isNew);
    if (GetParam().isNew) {
        EXPECT_EQ(UpdateQuestion(info), GetParam().question);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionFileTest,
    testing::Values(
        VersionCase{"Same", R"({"Version":"1.0.0.2","Info":"x"})", false, ""},
        VersionCase{"SameWithBlanks", "{\"Version\":\" \\t1.0.0.2 \\r\\n\"}", false, ""},
        VersionCase{"Older", R"({"Version":"1.0.0.1","Info":"请更新"})", true, "请更新"},
        VersionCase{"Newer", R"({"Version":"1.0.0.3"})", true, std::string(DefaultQuestion)},
        VersionCase{"LeadingZeroIsDifferent", R"({"Version":"1.0.0.02"})", true,
                    std::string(DefaultQuestion)},
        VersionCase{"EmptyObject", "{}", true, std::string(DefaultQuestion)},
        VersionCase{"BlankInfo", R"({"Version":"2","Info":"   "})", true,
                    std::string(DefaultQuestion)},
        VersionCase{"InfoTrimmed", R"({"Version":"2","Info":"  有新版本  "})", true, "有新版本"},
        VersionCase{"NamesCaseSensitive", R"({"version":"1.0.0.2","info":"x"})", true,
                    std::string(DefaultQuestion)},
        VersionCase{"TrailingTextIgnored", R"({"Version":"1.0.0.2"} <html>garbage{)", false, ""},
        VersionCase{"SecondObjectIgnored", R"({"Version":"1.0.0.2"}{"Version":"9"})", false, ""},
        VersionCase{"CommentsAllowed", "/* v */ {\"Version\": \"1.0.0.2\" // own\n}", false, ""},
        VersionCase{"NestedVersionIgnored", R"({"x":{"Version":"1.0.0.2"}})", true,
                    std::string(DefaultQuestion)},
        VersionCase{"LastDuplicateWins", R"({"Version":"1.0.0.2","Version":"3"})", true,
                    std::string(DefaultQuestion)}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

TEST(ParseVersionFile, NonStringMembersReadAsJsonText)
{
    EXPECT_EQ(Parse(R"({"Version":1.5})").Version, "1.5");
    EXPECT_EQ(Parse(R"({"Version":7})").Version, "7");
    EXPECT_EQ(Parse(R"({"Version":-7})").Version, "-7");
    EXPECT_EQ(Parse(R"({"Version":true})").Version, "true");
    EXPECT_EQ(Parse(R"({"Version":null})").Version, "null");
    EXPECT_EQ(Parse(R"({"Version":[1, "a", {"b" : [] }]})").Version, R"([1,"a",{"b":[]}])");
    EXPECT_EQ(Parse(R"({"Info":{"k":{"z":1,"a":[2]}}, "Version":"v"})").Info,
              R"({"k":{"a":[2],"z":1}})");
}

TEST(ParseVersionFile, KeepsOtherMembersOutOfTheResult)
{
    const TVersionInfo info = Parse(
        R"({"Url":"x","Version":[{"Info":"inner"}],"List":[1,2,{"Version":"no"}],"Info":"i"})");
    EXPECT_EQ(info.Version, R"([{"Info":"inner"}])");
    EXPECT_EQ(info.Info, "i");
}

TEST(ParseVersionFile, ChineseTextSurvives)
{
    EXPECT_EQ(Parse(R"({"Version":"2","Info":"发现\u65b0版本"})").Info, "发现新版本");
}

struct BadCase {
    const char* name;
    std::string text;
};

class BadVersionFileTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadVersionFileTest, GivesNoInfoAndAReason)
{
    std::string error;
    EXPECT_EQ(ParseVersionFile(GetParam().text, &error), std::nullopt);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ParseVersionFile(GetParam().text, nullptr), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadVersionFileTest,
    testing::Values(BadCase{"Empty", ""}, BadCase{"Blank", "  \r\n"},
                    BadCase{"Array", R"([{"Version":"1.0.0.2"}])"}, BadCase{"Number", "1.0"},
                    BadCase{"String", R"("1.0.0.2")"}, BadCase{"Null", "null"},
                    BadCase{"Html", "<html><body>404 Not Found</body></html>"},
                    BadCase{"Truncated", R"({"Version":"1.0.0.2")"},
                    BadCase{"UnquotedName", "{Version:1}"},
                    BadCase{"InvalidUtf8InString", "{\"Version\":\"\xB7\xA2\"}"},
                    BadCase{"Nul", "\0{}"s}, BadCase{"DeepArrays", std::string(100000, '[')},
                    BadCase{"DeepObjects",
                            [] {
                                std::string s;
                                for (int i = 0; i < 100000; ++i)
                                    s += "{\"a\":";
                                return s;
                            }()},
                    BadCase{"DeepMember", "{\"Version\":" + std::string(100000, '[') +
                                              std::string(100000, ']') + "}"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(ParseVersionFile, ModerateNestingIsFine)
{
    const std::string text = "{\"Info\":\"i\",\"x\":" + std::string(500, '[') +
                             std::string(500, ']') + ",\"Version\":\"1.0.0.2\"}";
    const TVersionInfo info = Parse(text);
    EXPECT_EQ(info.Version, "1.0.0.2");
    EXPECT_EQ(info.Info, "i");
}

TEST(ParseVersionFile, HugeBodyIsRead)
{
    std::string text = R"({"Version":"1.0.0.3","Padding":[)";
    for (int i = 0; i < 2000000; ++i)
        text += "12345678901234,";
    text += "0]}";
    ASSERT_GT(text.size(), 30u * 1000 * 1000);
    EXPECT_EQ(Parse(text).Version, "1.0.0.3");
}

TEST(DecodeVersionBody, KeepsUtf8AndDecodesTheRest)
{
    int calls = 0;
    const auto legacy = [&](std::string_view bytes) {
        ++calls;
        return "decoded:" + std::string(bytes);
    };
    EXPECT_EQ(DecodeVersionBody(R"({"Info":"发现"})", legacy), R"({"Info":"发现"})");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(DecodeVersionBody("\xB7\xA2\xCF\xD6", legacy), "decoded:\xB7\xA2\xCF\xD6");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(DecodeVersionBody("\xB7\xA2", nullptr), "\xB7\xA2");
}

struct RequestCase {
    const char* name;
    std::string exeName;
    std::string json;
};

class UpdateRequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(UpdateRequestTest, SerialisesWithMinimalEscaping)
{
    EXPECT_EQ(SerializeUpdateRequest(GetParam().exeName), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateRequestTest,
    testing::Values(
        RequestCase{"Plain", "client.exe", R"({"FileName":"update.rar","ExeName":"client.exe"})"},
        RequestCase{"Empty", "", R"({"FileName":"update.rar","ExeName":""})"},
        RequestCase{"Quote", "a\"b.exe", R"({"FileName":"update.rar","ExeName":"a\"b.exe"})"},
        RequestCase{"Backslash", "a\\b.exe", R"({"FileName":"update.rar","ExeName":"a\\b.exe"})"},
        RequestCase{"Slash", "a/b.exe", R"({"FileName":"update.rar","ExeName":"a\/b.exe"})"},
        RequestCase{"Nul", "a\0b"s, R"({"FileName":"update.rar","ExeName":"a\u0000b"})"},
        RequestCase{"Space", "my client.exe",
                    R"({"FileName":"update.rar","ExeName":"my client.exe"})"},
        RequestCase{"Chinese", "客户端.exe", R"({"FileName":"update.rar","ExeName":"客户端.exe"})"},
        RequestCase{"ControlCharsUnchanged", "a\tb\nc\x01",
                    "{\"FileName\":\"update.rar\",\"ExeName\":\"a\tb\nc\x01\"}"}),
    [](const testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

TEST(UpdateRequestArgument, IsBase64OfTheRequest)
{
    EXPECT_EQ(UpdateRequestArgument("client.exe"),
              "eyJGaWxlTmFtZSI6InVwZGF0ZS5yYXIiLCJFeGVOYW1lIjoiY2xpZW50LmV4ZSJ9");
}

TEST(UpdateRequestArgument, LongNameStaysOnOneLine)
{
    const std::string name(300, 'n');
    const std::string argument = UpdateRequestArgument(name);
    EXPECT_EQ(argument.find_first_of("\r\n"), std::string::npos);
    std::string broken = Base64Encode(SerializeUpdateRequest(name));
    ASSERT_NE(broken.find("\r\n"), std::string::npos);
    std::erase(broken, '\r');
    std::erase(broken, '\n');
    EXPECT_EQ(argument, broken);
}

} // namespace
