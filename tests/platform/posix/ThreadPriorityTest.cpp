#include "platform/ThreadPriority.h"

#include <atomic>
#include <cerrno>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

using core::TThreadPriority;

namespace {

int OwnNice()
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
}

// The nice value a fresh thread ends with after applying `priority`.
int NiceAfter(TThreadPriority priority)
{
    int nice = 0;
    std::thread([&] {
        platform::ApplyThreadPriority(priority);
        nice = OwnNice();
    }).join();
    return nice;
}

} // namespace

TEST(ThreadPriority, LowerPrioritiesRaiseTheCallingThreadsNiceValue)
{
    const int base = OwnNice();
    const struct {
        TThreadPriority priority;
        int nice;
    } cases[] = {
        {TThreadPriority::Idle, 19},
        {TThreadPriority::Lowest, std::min(base + 10, 19)},
        {TThreadPriority::Lower, std::min(base + 5, 19)},
        {TThreadPriority::Normal, base},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NiceAfter(c.priority), c.nice) << static_cast<int>(c.priority);
    // Above normal needs privileges; without them the thread simply stays as it was.
    EXPECT_LE(NiceAfter(TThreadPriority::Highest), base);
}

TEST(ThreadPriority, OtherThreadsKeepTheirs)
{
    const int base = OwnNice();
    std::atomic<bool> applied{false};
    std::atomic<bool> checked{false};
    int neighbourNice = 0;
    std::thread neighbour([&] {
        while (!applied)
            std::this_thread::yield();
        neighbourNice = OwnNice();
        checked = true;
    });
    std::thread worker([&] {
        platform::ApplyThreadPriority(TThreadPriority::Idle);
        applied = true;
        while (!checked)
            std::this_thread::yield();
    });
    worker.join();
    neighbour.join();
    EXPECT_EQ(neighbourNice, base);
    EXPECT_EQ(OwnNice(), base);
}
