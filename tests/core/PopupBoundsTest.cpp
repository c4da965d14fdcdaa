#include "core/PopupBounds.h"

#include <gtest/gtest.h>

using core::TPopupBounds;

namespace {

TEST(PopupBounds, ChainMayOpenFiftyWithoutGestureInAnyTenSeconds)
{
    TPopupBounds bounds(TPopupBounds::DefaultMaxTabs, TPopupBounds::DefaultChainLimit);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(bounds.Admit(1, false, 1 + i, 1000 + i), TPopupBounds::Open) << i;
    EXPECT_EQ(bounds.Admit(1, false, 51, 2000), TPopupBounds::TooFast);
    // Held back popups do not count; another chain and a user's click are not limited.
    EXPECT_EQ(bounds.Admit(2, false, 51, 2000), TPopupBounds::Open);
    EXPECT_EQ(bounds.Admit(1, true, 52, 2000), TPopupBounds::Open);
    // Ten seconds after the first one, one place is free again, and only one.
    EXPECT_EQ(bounds.Admit(1, false, 53, 10999), TPopupBounds::TooFast);
    EXPECT_EQ(bounds.Admit(1, false, 53, 11000), TPopupBounds::Open);
    EXPECT_EQ(bounds.Admit(1, false, 54, 11000), TPopupBounds::TooFast);
}

TEST(PopupBounds, NoPopupBeyondTheOpenTabs)
{
    TPopupBounds bounds(3, 50);
    EXPECT_EQ(bounds.Admit(1, false, 2, 0), TPopupBounds::Open);
    EXPECT_EQ(bounds.Admit(1, false, 3, 0), TPopupBounds::TooManyTabs);
    EXPECT_EQ(bounds.Admit(1, true, 3, 0), TPopupBounds::TooManyTabs);
    // A tab closed: room again.
    EXPECT_EQ(bounds.Admit(1, true, 2, 0), TPopupBounds::Open);
}

} // namespace
