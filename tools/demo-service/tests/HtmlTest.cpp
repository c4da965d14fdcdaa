#include "Html.h"

#include <gtest/gtest.h>

namespace {

TEST(HtmlEscape, EscapesMarkupAndQuotesAndKeepsOtherText)
{
    EXPECT_EQ(demo::HtmlEscape("<a href=\"x\" title='y'>&amp;</a>"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;");
    EXPECT_EQ(demo::HtmlEscape("测试 00-11-22"), "测试 00-11-22");
    EXPECT_EQ(demo::HtmlEscape(""), "");
}

TEST(FillTemplate, ReplacesEachPlaceholderInOnePass)
{
    const demo::TemplateValues values{{"A", "1"}, {"B", "{{A}}"}, {"EMPTY", ""}};
    struct Case {
        const char* page;
        const char* filled;
    };
    const Case cases[] = {
        {"x{{A}}y{{A}}z", "x1y1z"},
        // A value is never searched for placeholders itself.
        {"{{B}}", "{{A}}"},
        {"[{{EMPTY}}]", "[]"},
        {"{{UNKNOWN}} {{A}}", "{{UNKNOWN}} 1"},
        {"open {{A", "open {{A"},
        {"{{{{A}}}}", "{{{{A}}}}"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(demo::FillTemplate(c.page, values), c.filled) << c.page;
}

} // namespace
