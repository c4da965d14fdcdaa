#include "platform/ConsoleRunner.h"

#include "PosixTestSupport.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using platform::RunConsoleCommand;
using namespace platform_test;

namespace {

// A process that is gone or only waits to be reaped.
bool IsGone(const std::string& pid)
{
    const std::string stat = ReadFile("/proc/" + pid + "/stat");
    const size_t name = stat.rfind(')');
    return stat.empty() || (name + 2 < stat.size() && stat[name + 2] == 'Z');
}

} // namespace

TEST(ConsoleRunner, TimeLimitKillsWhatTheCommandLeftRunning)
{
    // The shell ends at once, but its background child holds the output open.
    const std::string pid = RunConsoleCommand("sleep 30 & echo $!", 300);
    ASSERT_FALSE(pid.empty());
    const std::string bare = pid.substr(0, pid.find('\n'));
    for (int i = 0; i < 100 && !IsGone(bare); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(IsGone(bare)) << "sleep " << bare << " still runs";
}
