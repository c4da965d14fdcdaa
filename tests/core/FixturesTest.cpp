// Captured Windows console output (English and Chinese) with the answers worked out by
// hand. Every *.txt in the fixtures directory is checked against its *.expected, so a new
// capture is picked up without touching this file.

#include "core/NetParsers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace core;

namespace {

// What the arp captures are read with: no capture has the matching ipconfig beside it.
constexpr const char* ArpGateway = "none";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<fs::path> Captures()
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(QUILLMARK_FIXTURES_DIR, ec))
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool StartsWith(const fs::path& file, std::string_view prefix)
{
    return file.filename().string().starts_with(prefix);
}

// The parser's answer for one capture, one value per entry.
TLines Answer(const fs::path& file)
{
    TLines lines = SplitToLines(ReadFile(file), "\r\n");
    if (StartsWith(file, "ipconfig-all-")) {
        ExtractMacAddresses(lines);
        return lines;
    }
    const std::string value =
        StartsWith(file, "arp-a-") ? FindGatewayMac(ArpGateway, lines) : FindDefaultGateway(lines);
    return value.empty() ? TLines{} : TLines{value};
}

class FixtureTest : public testing::TestWithParam<fs::path> {};

TEST_P(FixtureTest, MatchesExpected)
{
    fs::path expectedFile = GetParam();
    expectedFile.replace_extension(".expected");
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
    EXPECT_EQ(Answer(GetParam()), SplitToLines(ReadFile(expectedFile), "\n"));
}

INSTANTIATE_TEST_SUITE_P(Captured, FixtureTest, testing::ValuesIn(Captures()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(Fixtures, EveryKindIsPresent)
{
    const std::vector<fs::path> files = Captures();
    for (const char* prefix : {"ipconfig-all-en-", "ipconfig-all-zh-", "ipconfig-en-",
                               "ipconfig-zh-", "arp-a-en-", "arp-a-zh-"}) {
        EXPECT_TRUE(std::any_of(files.begin(), files.end(),
                                [&](const fs::path& f) { return StartsWith(f, prefix); }))
            << "no capture named " << prefix << "* in " << QUILLMARK_FIXTURES_DIR;
    }
}

} // namespace
