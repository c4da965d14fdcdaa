#include "platform/CapturedText.h"

#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace platform_test;

TEST(CapturedText, DecodesEveryEncodingAListingArrivesIn)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-8", "默认网关 : 1\r\n", "默认网关 : 1\r\n"},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "Physical Address",
         "Physical Address"},
        {"code page 936", "\xC4\xAC\xC8\xCF\xCD\xF8\xB9\xD8 : 1\r\n", "默认网关 : 1\r\n"},
        {"code page 936 label", "\xCE\xEF\xC0\xED\xB5\xD8\xD6\xB7.", "物理地址."},
        {"UTF-16 (PowerShell redirection)", std::string("\xFF\xFE\x21\x6A\x0D\x00\x0A\x00", 8),
         "模\r\n"},
        {"empty", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCapturedBytes(c.bytes), c.text) << c.what;
}

TEST(CapturedText, NoiseDecodesToSomethingHarmless)
{
    std::string noise;
    for (int i = 0; i < 1 << 20; ++i)
        noise += static_cast<char>((i * 2654435761u) >> 13);
    const std::string text = DecodeCapturedBytes(noise);
    EXPECT_FALSE(text.empty());
}

TEST(CapturedText, ReadsFilesAndExplainsWhatItCannotRead)
{
    TTempDir dir;
    WriteFile(dir / "gbk.txt", "\xC4\xAC\xC8\xCF\xCD\xF8\xB9\xD8");
    std::string text, error;
    ASSERT_TRUE(ReadCapturedText((dir / "gbk.txt").string(), text, error)) << error;
    EXPECT_EQ(text, "默认网关");

    WriteFile(dir / "empty.txt", "");
    ASSERT_TRUE(ReadCapturedText((dir / "empty.txt").string(), text, error)) << error;
    EXPECT_EQ(text, "");

    for (const auto& path : {dir / "missing.txt", dir.Path()}) {
        error.clear();
        EXPECT_FALSE(ReadCapturedText(path.string(), text, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}
