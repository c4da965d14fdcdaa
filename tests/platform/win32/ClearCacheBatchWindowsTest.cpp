// ClearCache.bat run by cmd in an application directory whose path holds a space, Chinese
// and the characters cmd treats specially.

#include "core/ClearCacheBatch.h"
#include "platform/ConsoleRunner.h"

#include "../ConsoleTestCommands.h"
#include "../PlatformTestSupport.h"

#include <gtest/gtest.h>

using namespace platform_test;
namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

TEST(ClearCacheBatchWindows, EmptiesTheCacheKeepsTheCookiesAndStartsTheClient)
{
    TTempDir scratch;
    const fs::path app = scratch.Path() / fs::path(u8"应用 目录 100% & (x)");
    const fs::path cache = app / "cache";
    fs::create_directories(cache / "Cache" / "index");
    WriteFile(cache / "Cache" / "index" / "data_1", "cached");
    WriteFile(cache / "Local State", "cached");
    WriteFile(app / "Cookies", "saved cookies");
    WriteFile(app / "Cookies-journal", "saved journal");
    WriteFile(cache / "Cookies", "old cookies");
    // The client's stand-in prints client.txt, found beside it.
    fs::copy_file(HelperProgram("quillmark-test-listing"), app / "client.exe");
    WriteFile(app / "client.txt", "the client started");

    const auto batch =
        core::ClearCacheBatch(Utf8(app) + "\\", Utf8(cache) + "\\", Utf8(app / "client.exe"));
    ASSERT_TRUE(batch);
    WriteFile(app / core::ClearCacheBatchName, ConsoleBytes(*batch));
    const std::string output = platform::RunConsoleCommand(
        "cmd /c call \"" + Utf8(app / core::ClearCacheBatchName) + "\"", 30'000);

    EXPECT_FALSE(fs::exists(cache / "Cache" / "index" / "data_1"));
    EXPECT_FALSE(fs::exists(cache / "Local State"));
    EXPECT_TRUE(fs::is_directory(cache / "Cache" / "index"));
    EXPECT_EQ(ReadFile(cache / "Cookies"), "saved cookies");
    EXPECT_EQ(ReadFile(cache / "Cookies-journal"), "saved journal");
    EXPECT_FALSE(fs::exists(app / "Cookies"));
    EXPECT_FALSE(fs::exists(app / "Cookies-journal"));
    EXPECT_NE(output.find("the client started"), std::string::npos) << output;
    // What no batch line can carry.
    for (const char* bad : {"C:\\a\"b\\", "C:\\a\nb\\"})
        EXPECT_EQ(core::ClearCacheBatch(bad, Utf8(cache), Utf8(app)), std::nullopt) << bad;
}
