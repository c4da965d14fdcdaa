#include "core/TransferFigures.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

TEST(TransferFigures, ByteCountsReadInThreeDigitsAndNeverAs1024OfAUnit)
{
    const std::pair<std::int64_t, const char*> rows[] = {
        {-5, "0 B"},
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {10 * 1024 + 512, "10.5 KB"},
        {1023 * 1024, "1023 KB"},
        {1024 * 1024 - 1, "1.00 MB"},
        {200LL * 1024 * 1024, "200 MB"},
        {2LL * 1024 * 1024 * 1024, "2.00 GB"},
        {5000LL * 1024 * 1024 * 1024 * 1024, "5000 TB"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(core::FormatByteCount(bytes), text) << bytes;
}

TEST(TransferFigures, TimeLeftRoundsUpAndWaitsForASpeed)
{
    const std::tuple<std::int64_t, double, const char*> rows[] = {
        {1000, 0, ""},
        {59'000, 1000, "剩余 59 秒"},
        {59'001, 1000, "剩余 1 分钟"},
        {3'600'000, 1000, "剩余 1 小时"},
        {7'500'000, 1000, "剩余 2 小时 5 分钟"},
    };
    for (const auto& [bytes, rate, text] : rows)
        EXPECT_EQ(core::FormatTimeLeft(bytes, rate), text) << bytes << " at " << rate;
}

TEST(TransferFigures, RateCoversTheLastWindowOnly)
{
    core::TTransferRate rate(1000);
    EXPECT_EQ(rate.BytesPerSecond(), 0);
    rate.Add(0, 0);
    EXPECT_EQ(rate.BytesPerSecond(), 0);
    rate.Add(500, 500'000);
    EXPECT_DOUBLE_EQ(rate.BytesPerSecond(), 1'000'000);
    // A stall: after a window without bytes the rate falls to nothing.
    rate.Add(1500, 1'000'000);
    rate.Add(2600, 1'000'000);
    rate.Add(3000, 1'000'000);
    EXPECT_DOUBLE_EQ(rate.BytesPerSecond(), 0);
    // A restarted transfer (fewer bytes than before) is no negative speed.
    rate.Add(3100, 10);
    EXPECT_EQ(rate.BytesPerSecond(), 0);
}

TEST(TransferFigures, NumberedNamesKeepTheExtension)
{
    EXPECT_EQ(core::NumberedFileName("report.csv", 1), "report (1).csv");
    EXPECT_EQ(core::NumberedFileName("archive.tar.gz", 2), "archive.tar (2).gz");
    EXPECT_EQ(core::NumberedFileName("README", 3), "README (3)");
    EXPECT_EQ(core::NumberedFileName(".profile", 1), ".profile (1)");
    EXPECT_EQ(core::NumberedFileName("报表.xlsx", 1), "报表 (1).xlsx");
}

} // namespace
