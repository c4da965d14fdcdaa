#include "core/DialogFloodGuard.h"

#include <gtest/gtest.h>

using core::TDialogFloodGuard;

namespace {

TEST(DialogFloodGuard, OffersFromTheThirdBoxWithinTenSeconds)
{
    TDialogFloodGuard guard;
    EXPECT_FALSE(guard.BoxShown(1, 0));
    EXPECT_FALSE(guard.BoxShown(1, 4000));
    EXPECT_TRUE(guard.BoxShown(1, 10000));
    EXPECT_TRUE(guard.BoxShown(1, 10001));
    // Another page counts on its own.
    EXPECT_FALSE(guard.BoxShown(2, 10002));
    // Slow boxes: never two earlier ones within the last ten seconds.
    TDialogFloodGuard slow;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(slow.BoxShown(1, std::int64_t(i) * 5001)) << i;
}

TEST(DialogFloodGuard, SuppressionLastsUntilThePageNavigates)
{
    TDialogFloodGuard guard;
    EXPECT_FALSE(guard.IsSuppressed(1));
    guard.Suppress(1);
    EXPECT_TRUE(guard.IsSuppressed(1));
    EXPECT_FALSE(guard.IsSuppressed(2));
    guard.BoxShown(1, 0);
    guard.BoxShown(1, 1);
    guard.PageNavigated(1);
    EXPECT_FALSE(guard.IsSuppressed(1));
    // A fresh count too.
    EXPECT_FALSE(guard.BoxShown(1, 2));
    EXPECT_FALSE(guard.BoxShown(1, 3));
    EXPECT_TRUE(guard.BoxShown(1, 4));
}

} // namespace
