#include "core/ScriptLiteral.h"

#include <gtest/gtest.h>

using core::ScriptStringLiteral;
using core::TipClickScript;

namespace {

TEST(ScriptLiteral, PlainTextStaysAsItIs)
{
    EXPECT_EQ(TipClickScript("abc"), "tipClickHandle('abc');");
    EXPECT_EQ(TipClickScript(""), "tipClickHandle('');");
    EXPECT_EQ(ScriptStringLiteral("订单 42, ok?"), "'订单 42, ok?'");
}

TEST(ScriptLiteral, NothingCanEndTheLiteralOrTheLine)
{
    const struct {
        const char* text;
        const char* literal;
    } rows[] = {
        {"it's", R"('it\'s')"},
        {R"(say "hi")", R"('say \"hi\"')"},
        {R"(a\b)", R"('a\\b')"},
        {"a\nb\rc\td", R"('a\u000Ab\u000Dc\u0009d')"},
        {"a\xE2\x80\xA8"
         "b\xE2\x80\xA9"
         "c",
         R"('a\u2028b\u2029c')"},
        {"</script><b>", R"('\u003C/script\u003E\u003Cb\u003E')"},
        {"');alert(1);('", R"('\');alert(1);(\'')"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScriptStringLiteral(row.text), row.literal) << row.text;
    EXPECT_EQ(ScriptStringLiteral(std::string_view("a\0b", 3)), R"('a\u0000b')");
}

} // namespace
