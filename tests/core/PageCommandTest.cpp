#include "core/PageCommand.h"

#include <gtest/gtest.h>

using core::ClassifyPageDialog;
using core::TPageDialog;

namespace {

TEST(PageCommand, PrefixNameAndColonDecide)
{
    const struct {
        const char* message;
        TPageDialog expected;
    } rows[] = {
        {"ZEPHRIN:CLEAR_CACHE:", TPageDialog::ClearCache},
        {"ZEPHRIN:CLEAR_CACHE:anything: at all", TPageDialog::ClearCache},
        {"ZEPHRIN:RELOGIN:", TPageDialog::Relogin},
        {"ZEPHRIN:RELOGIN::", TPageDialog::Relogin},
        {"ZEPHRIN:CLEAR_CACHE", TPageDialog::Malformed},  // no colon after the name
        {"ZEPHRIN:clear_cache:", TPageDialog::Malformed}, // letter case counts
        {"ZEPHRIN::", TPageDialog::Malformed},            // empty name
        {"ZEPHRIN:", TPageDialog::Malformed},
        {"ZEPHRIN:RELOGIN :", TPageDialog::Malformed}, // the name runs to the colon
        {"ZEPHRIN:UPDATE:", TPageDialog::Malformed},
        {"zephrin:RELOGIN:", TPageDialog::Plain},  // not the prefix
        {" ZEPHRIN:RELOGIN:", TPageDialog::Plain}, // only the leading characters
        {"ZEPHRIN", TPageDialog::Plain},           // shorter than the prefix
        {"", TPageDialog::Plain},
        {"你好 ZEPHRIN:RELOGIN:", TPageDialog::Plain},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ClassifyPageDialog(row.message), row.expected) << '"' << row.message << '"';
}

TEST(PageCommand, LongArgumentIsNotLookedAt)
{
    const std::string message = "ZEPHRIN:CLEAR_CACHE:" + std::string(1 << 20, ':');
    EXPECT_EQ(ClassifyPageDialog(message), TPageDialog::ClearCache);
}

} // namespace
