#include "core/PageRecovery.h"

#include <gtest/gtest.h>

namespace {

TEST(RetrySchedule, GrowsThenRepeatsTheLastPauseUntilReset)
{
    core::TRetrySchedule schedule({5000, 10000, 30000, 60000});
    for (const int expected : {5000, 10000, 30000, 60000, 60000, 60000})
        EXPECT_EQ(schedule.NextPauseMs(), expected);
    schedule.Reset();
    EXPECT_EQ(schedule.NextPauseMs(), 5000);
    // No pauses at all: retry at once rather than never.
    core::TRetrySchedule none({});
    EXPECT_EQ(none.NextPauseMs(), 0);
}

TEST(ServiceUnreachable, NetworkFailuresAndServerErrorsCountStoppedLoadsDoNot)
{
    struct Row {
        bool httpStatus;
        int code;
        bool unreachable;
    };
    const Row rows[] = {
        {false, -102, true}, // connection refused
        {false, -105, true}, // name not resolved
        {false, -118, true}, // connection timed out
        {false, -7, true},   // timed out
        {false, -324, true}, // empty response
        {false, -3, false},  // aborted: stopped or replaced
        {false, 0, false},   // no error at all
        {true, 500, true},   // server errors
        {true, 503, true},   // (every 5xx)
        {true, 599, true},   // (the last one)
        {true, 404, false},  // the service answered
        {true, 200, false},  // (a page)
        {true, 600, false},  // (no such status)
    };
    for (const Row& row : rows)
        EXPECT_EQ(core::IsServiceUnreachable(row.httpStatus, row.code), row.unreachable)
            << row.httpStatus << " " << row.code;
}

TEST(CrashReloadPolicy, ReloadsOnceThenWaitsForTheUserWithinTheWindow)
{
    core::TCrashReloadPolicy policy(60000);
    EXPECT_TRUE(policy.ReloadByItself(1000));
    EXPECT_FALSE(policy.ReloadByItself(2500));
    // The user's own reloads crash again: still within a minute of the last reload.
    EXPECT_FALSE(policy.ReloadByItself(60999));
    EXPECT_TRUE(policy.ReloadByItself(61000));
    EXPECT_FALSE(policy.ReloadByItself(61001));
}

} // namespace
