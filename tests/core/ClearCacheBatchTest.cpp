#include "core/ClearCacheBatch.h"

#include <gtest/gtest.h>

TEST(ClearCacheBatch, SevenLinesWithEveryPathQuoted)
{
    EXPECT_EQ(core::ClearCacheBatch("D:\\App\\", "D:\\App\\cache\\", "D:\\App\\erp.exe"),
              "choice /t 2 /d y /n >nul\r\n"
              "del /S /Q \"D:\\App\\cache\\*\"\r\n"
              "copy \"D:\\App\\Cookies\" \"D:\\App\\cache\\Cookies\"\r\n"
              "copy \"D:\\App\\Cookies-journal\" \"D:\\App\\cache\\Cookies-journal\"\r\n"
              "del \"D:\\App\\Cookies\"\r\n"
              "del \"D:\\App\\Cookies-journal\"\r\n"
              "\"D:\\App\\erp.exe\"\r\n");
}

TEST(ClearCacheBatch, PercentSignsAreDoubledAndUnusablePathsRefused)
{
    const auto batch = core::ClearCacheBatch("C:\\100% & more\\", "C:\\100% & more\\cache\\",
                                             "C:\\100% & more\\erp.exe");
    ASSERT_TRUE(batch);
    EXPECT_NE(batch->find("del /S /Q \"C:\\100%% & more\\cache\\*\"\r\n"), std::string::npos);
    for (const char* bad : {"C:\\a\"b\\", "C:\\a\nb\\", "C:\\a\rb\\"})
        EXPECT_EQ(core::ClearCacheBatch(bad, "C:\\cache\\", "C:\\erp.exe"), std::nullopt) << bad;
}
