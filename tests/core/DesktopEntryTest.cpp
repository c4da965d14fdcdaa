#include "core/DesktopEntry.h"

#include <gtest/gtest.h>

namespace {

struct ExecCase {
    const char* path;
    const char* exec; // as written in the file
};

void PrintTo(const ExecCase& row, std::ostream* out)
{
    *out << testing::PrintToString(std::string(row.path));
}

class DesktopExec : public testing::TestWithParam<ExecCase> {};

TEST_P(DesktopExec, QuotesAndEscapesAsTheSpecificationAsks)
{
    EXPECT_EQ(core::DesktopExecArgument(GetParam().path), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DesktopExec,
    testing::Values(ExecCase{"/opt/quillmark/quillmark-erp", "/opt/quillmark/quillmark-erp"},
                    ExecCase{"/home/李雷/客户端/quillmark-erp", "/home/李雷/客户端/quillmark-erp"},
                    ExecCase{"/home/u/ERP client/q", R"("/home/u/ERP client/q")"},
                    ExecCase{"/tmp/100%/q", "/tmp/100%%/q"},
                    ExecCase{"/tmp/a b%/q", R"("/tmp/a b%%/q")"},
                    ExecCase{"/tmp/it's/q", R"("/tmp/it's/q")"},
                    ExecCase{"/tmp/say \"hi\"/q", R"("/tmp/say \\"hi\\"/q")"},
                    ExecCase{"/tmp/$HOME/q", R"("/tmp/\\$HOME/q")"},
                    ExecCase{"/tmp/`id`/q", R"("/tmp/\\`id\\`/q")"},
                    ExecCase{"/tmp/back\\slash/q", R"("/tmp/back\\\\slash/q")"},
                    ExecCase{"/tmp/a&b;c|d/q", R"("/tmp/a&b;c|d/q")"},
                    ExecCase{"/tmp/line\nbreak/q", R"("/tmp/line\nbreak/q")"}));

TEST(AutostartDesktopEntry, HoldsUtf8Only)
{
    EXPECT_TRUE(core::AutostartDesktopEntry("QuillmarkERP", "/home/李雷/q"));
    EXPECT_EQ(core::AutostartDesktopEntry("QuillmarkERP", "/home/\xC0\xAF/q"), std::nullopt);
}

} // namespace
