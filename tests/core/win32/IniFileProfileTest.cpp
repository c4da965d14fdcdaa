// core::IniFile against the Windows profile functions (GetPrivateProfileStringW,
// WritePrivateProfileStringW) on the same files, row by row of the IniFile tables. The
// client reads and writes config.ini through IniFile on every system; the rows where the
// profile functions differ are listed with the reason the client does not follow them.

#include "../IniFileCases.h"
#include "../IniFileFixture.h"
#include "core/IniFile.h"

#include <map>

#include <windows.h>

#include <gtest/gtest.h>

using core::IniFile;
using namespace ini_cases;

namespace {

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                             wide.data(), int(wide.size()))));
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    std::string utf8(wide.size() * 4, '\0');
    utf8.resize(size_t(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()),
                                             utf8.data(), int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::optional<std::string> ProfileRead(const std::filesystem::path& file, const char* section,
                                       const char* key)
{
    // Whatever the profile functions keep of the file is dropped first.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    constexpr wchar_t Missing[] = L"\x01missing";
    wchar_t value[4096] = {};
    const DWORD length = ::GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                    Missing, value, 4096, file.c_str());
    const std::wstring text(value, length);
    return text == Missing ? std::nullopt : std::optional<std::string>(Utf8(text));
}

bool ProfileWrite(const std::filesystem::path& file, const char* section, const char* key,
                  const char* value)
{
    const bool written = ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                      Wide(value).c_str(), file.c_str());
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    return written;
}

// A header cut short by a hand edit still names its section for IniFile, so the keys under
// it are kept; the profile functions (Wine's, measured here) drop that section instead and
// a write then adds a second one of the same name.
constexpr char BrokenHeader[] = "IniFile keeps the section of a header without ']'";

// Rows the profile functions read otherwise, and why the client keeps IniFile's reading.
const std::map<std::string, const char*> ReadDifferences = {
    {"Utf8Value", "the profile functions read the ANSI code page (936 here); the client "
                  "writes config.ini as UTF-8 on every system, so one file reads alike on all"},
    {"HeaderWithoutBracketNamesSection", BrokenHeader},
};
const std::map<std::string, const char*> WriteDifferences = {
    {"BrokenHeaderKept", BrokenHeader},
};

} // namespace

class IniProfileReadTest : public IniFileFixture, public testing::WithParamInterface<ReadCase> {};

TEST_P(IniProfileReadTest, ReadsWhatIniFileReads)
{
    const ReadCase& c = GetParam();
    Put(c.content);
    const auto windows = ProfileRead(path_, c.section, c.key);
    if (const auto difference = ReadDifferences.find(c.name); difference != ReadDifferences.end())
        EXPECT_NE(windows, c.expected) << "agrees now; was: " << difference->second;
    else
        EXPECT_EQ(windows, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniProfileReadTest, testing::ValuesIn(IniReadCases()),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

class IniProfileWriteTest : public IniFileFixture,
                            public testing::WithParamInterface<WriteCase> {};

// Each reads back what the other wrote; only IniFile keeps the other bytes as they were.
TEST_P(IniProfileWriteTest, EachReadsWhatTheOtherWrote)
{
    const WriteCase& c = GetParam();
    Put(c.before);
    ASSERT_TRUE(ProfileWrite(path_, c.section, c.key, c.value));
    const auto afterProfileWrite = IniFile(path_).Find(c.section, c.key);

    Put(c.before);
    ASSERT_TRUE(IniFile(path_).WriteString(c.section, c.key, c.value));
    const auto afterIniFileWrite = ProfileRead(path_, c.section, c.key);

    if (const auto difference = WriteDifferences.find(c.name); difference != WriteDifferences.end()) {
        EXPECT_FALSE(afterProfileWrite == c.value && afterIniFileWrite == c.value)
            << "agrees now; was: " << difference->second;
    } else {
        EXPECT_EQ(afterProfileWrite, c.value);
        EXPECT_EQ(afterIniFileWrite, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniProfileWriteTest, testing::ValuesIn(IniWriteCases()),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });
