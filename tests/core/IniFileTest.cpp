#include "core/IniFile.h"

#include "IniFileCases.h"
#include "IniFileFixture.h"

#include <gtest/gtest.h>

#include <string>

using core::IniFile;
using namespace ini_cases;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// ---- Reading ----

class IniReadTest : public IniFileFixture, public testing::WithParamInterface<ReadCase> {};

TEST_P(IniReadTest, Finds)
{
    const ReadCase& c = GetParam();
    Put(c.content);
    EXPECT_EQ(IniFile(path_).Find(c.section, c.key), c.expected);
    EXPECT_EQ(IniFile(path_).ReadString(c.section, c.key, "DEF"), c.expected.value_or("DEF"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadTest, testing::ValuesIn(IniReadCases()),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(IniFileFixture, MissingFileReadsDefaults)
{
    const IniFile ini(path_);
    EXPECT_EQ(ini.Find("A", "k"), std::nullopt);
    EXPECT_EQ(ini.ReadString("A", "k", "1"), "1");
    EXPECT_EQ(ini.ReadInteger("A", "k", 42), 42);
    EXPECT_FALSE(fs::exists(path_));
}

struct IntegerCase {
    const char* name;
    std::string value;
    std::int64_t expected;
};

class IniIntegerTest : public IniFileFixture, public testing::WithParamInterface<IntegerCase> {};

TEST_P(IniIntegerTest, Reads)
{
    Put("[WIN]\nLEFT=" + GetParam().value + "\n");
    EXPECT_EQ(IniFile(path_).ReadInteger("WIN", "LEFT", -77), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniIntegerTest,
    testing::Values(IntegerCase{"Positive", "1280", 1280}, IntegerCase{"Negative", "-8", -8},
                    IntegerCase{"PlusSign", "+3", 3}, IntegerCase{"Blanks", "  42 ", 42},
                    IntegerCase{"Quoted", "\"7\"", 7}, IntegerCase{"Zero", "0", 0},
                    IntegerCase{"Max", "9223372036854775807", INT64_MAX},
                    IntegerCase{"Min", "-9223372036854775808", INT64_MIN},
                    IntegerCase{"OverflowByOne", "9223372036854775808", -77},
                    IntegerCase{"UnderflowByOne", "-9223372036854775809", -77},
                    IntegerCase{"Huge", std::string(5000, '9'), -77},
                    IntegerCase{"Letters", "abc", -77},
                    IntegerCase{"TrailingGarbage", "12abc", -77}, IntegerCase{"Hex", "0x10", -77},
                    IntegerCase{"Fraction", "1.5", -77}, IntegerCase{"SignOnly", "-", -77},
                    IntegerCase{"Empty", "", -77}, IntegerCase{"InnerBlank", "1 2", -77},
                    IntegerCase{"Binary", "\x01\xff\x80"s, -77}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return std::string(info.param.name); });

// ---- Writing ----

class IniWriteTest : public IniFileFixture, public testing::WithParamInterface<WriteCase> {};

TEST_P(IniWriteTest, Writes)
{
    const WriteCase& c = GetParam();
    Put(c.before);
    IniFile ini(path_);
    ASSERT_TRUE(ini.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(Get(), c.after);
    EXPECT_EQ(ini.Find(c.section, c.key), std::string(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWriteTest, testing::ValuesIn(IniWriteCases()),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

// Each write replaces the whole file, leaving no temporary file behind.
TEST_F(IniFileFixture, FirstWriteCreatesTheFileAndSeveralKeysAreOneRewrite)
{
    ASSERT_FALSE(fs::exists(path_));
    IniFile ini(path_);
    ASSERT_TRUE(ini.WriteInteger("SYSTEM", "HANDLE", 12345));
    EXPECT_EQ(Get(), "[SYSTEM]\nHANDLE=12345\n");
    ASSERT_TRUE(ini.WriteIntegers("WIN", {{"LEFT", -20}, {"TOP", 5}}));
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"config.ini"});
    int rewrites = 0;
    IniFile::SetReplacer([&](const fs::path&, const std::string& data) {
        Put(data);
        return ++rewrites > 0;
    });
    // A key added earlier in the same rewrite is found again.
    EXPECT_TRUE(ini.WriteIntegers("system", {{"AUTOSTART", 1}, {"handle", 7}, {"AUTOSTART", 2}}));
    IniFile::SetReplacer(nullptr);
    EXPECT_EQ(rewrites, 1);
    EXPECT_EQ(Get(), "[SYSTEM]\nHANDLE=7\nAUTOSTART=2\n[WIN]\nLEFT=-20\nTOP=5\n");
}

TEST_F(IniFileFixture, DirectoryInPlaceOfTheFileReadsDefaultsAndIsNotWritten)
{
    fs::create_directory(path_);
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("WIN", "LEFT", 7), 7);
    EXPECT_FALSE(ini.WriteString("WIN", "LEFT", "1"));
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"config.ini"});
}

TEST_F(IniFileFixture, WriteIntoMissingDirectoryFails)
{
    EXPECT_FALSE(IniFile(dir_ / "missing" / "config.ini").WriteString("A", "k", "1"));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// Up to MaxFileBytes a file of junk is read and kept around the write; a larger one is
// neither read nor rewritten.
TEST_F(IniFileFixture, JunkFileIsKeptAroundTheWriteUpToTheLimit)
{
    std::string junk;
    std::mt19937 random(7);
    while (junk.size() < IniFile::MaxFileBytes - 200) {
        std::string line(40 + random() % 80, 'x');
        for (char& c : line)
            c = char(' ' + random() % 90); // printable, may contain '=' and '['
        if (line[0] == '[')
            line[0] = '_';
        junk += line + "\n";
    }
    junk.resize(IniFile::MaxFileBytes - 200);
    const std::string stored = junk + "\n[WIN]\nLEFT=4\n";
    Put(stored);
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("WIN", "LEFT", 5), 4);
    ASSERT_TRUE(ini.WriteInteger("WIN", "TOP", 6));
    EXPECT_EQ(Get(), stored + "TOP=6\n");

    const std::string oversized = stored + std::string(IniFile::MaxFileBytes, '#');
    Put(oversized);
    EXPECT_EQ(ini.ReadInteger("WIN", "LEFT", 5), 5);
    EXPECT_FALSE(ini.WriteInteger("WIN", "LEFT", 7));
    EXPECT_EQ(Get(), oversized);
}

} // namespace
