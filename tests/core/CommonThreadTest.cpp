#include "core/CommonThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

using core::TCommonThread;
using core::TThreadPriority;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto WaitLimit = std::chrono::seconds(20);

// What a thread did, observed from the test. Outlives the thread object.
struct Probe {
    std::mutex mutex;
    std::condition_variable changed;
    int taskRuns = 0;
    int finishedCalls = 0;
    bool destroyed = false;
    std::thread::id taskThread;
    std::thread::id finishedThread;
    Clock::time_point lastTaskEnd;
    Clock::time_point finishedAt;

    template <class F> void Update(F f)
    {
        {
            std::lock_guard lock(mutex);
            f();
        }
        changed.notify_all();
    }
    template <class P> bool WaitUntil(P predicate, Clock::duration limit = WaitLimit)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, predicate);
    }
    bool WaitDestroyed()
    {
        return WaitUntil([this] { return destroyed; });
    }
    int TaskRuns()
    {
        std::lock_guard lock(mutex);
        return taskRuns;
    }
    int FinishedCalls()
    {
        std::lock_guard lock(mutex);
        return finishedCalls;
    }
};

// The destructor is protected because the thread deletes itself; this one reports it.
class ProbedThread : public TCommonThread {
public:
    explicit ProbedThread(std::shared_ptr<Probe> probe) : probe_(std::move(probe))
    {
        Interval = 5;
        // Counts every run; `extra` adds what a test needs on top.
        Task = [this] {
            probe_->Update([this] {
                ++probe_->taskRuns;
                probe_->taskThread = std::this_thread::get_id();
            });
            if (extra)
                extra(probe_->TaskRuns());
            probe_->Update([this] { probe_->lastTaskEnd = Clock::now(); });
        };
        OnFinished = [this] {
            probe_->Update([this] {
                ++probe_->finishedCalls;
                probe_->finishedThread = std::this_thread::get_id();
                probe_->finishedAt = Clock::now();
            });
        };
    }
    std::function<void(int run)> extra;

protected:
    ~ProbedThread() override
    {
        probe_->Update([this] { probe_->destroyed = true; });
    }

private:
    std::shared_ptr<Probe> probe_;
};

// Never resumed, so it may live on the stack.
class IdleThread : public TCommonThread {
public:
    ~IdleThread() override = default;
};

class CommonThreadTest : public testing::Test {
protected:
    void TearDown() override
    {
        TCommonThread::SetSynchronizer(nullptr);
        TCommonThread::SetPriorityHandler(nullptr);
    }
    std::shared_ptr<Probe> probe = std::make_shared<Probe>();
};

TEST_F(CommonThreadTest, Defaults)
{
    auto* thread = new ProbedThread(probe);
    EXPECT_EQ(thread->RepeatCount, -1);
    EXPECT_TRUE(thread->Synchronized);
    EXPECT_TRUE(thread->Active);
    EXPECT_FALSE(thread->Paused);
    EXPECT_EQ(thread->Priority, TThreadPriority::Lowest);
    EXPECT_EQ(IdleThread().Interval, 100);
    thread->RepeatCount = 0;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
}

struct CountCase {
    const char* name;
    std::int32_t repeatCount;
};

class CommonThreadCountTest : public CommonThreadTest,
                              public testing::WithParamInterface<CountCase> {};

TEST_P(CommonThreadCountTest, RunsTaskRepeatCountTimesThenFinishesOnce)
{
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = GetParam().repeatCount;
    thread->Synchronized = false;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, GetParam().repeatCount);
    EXPECT_EQ(probe->finishedCalls, 1);
    EXPECT_NE(probe->finishedThread, std::this_thread::get_id());
}

INSTANTIATE_TEST_SUITE_P(Counts, CommonThreadCountTest,
                         testing::Values(CountCase{"Zero", 0}, CountCase{"One", 1},
                                         CountCase{"Five", 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommonThreadTest, FinishesOnlyAfterThePauseThatFollowsTheLastRun)
{
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 1;
    thread->Interval = 300;
    thread->Synchronized = false;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    ASSERT_EQ(probe->taskRuns, 1);
    ASSERT_EQ(probe->finishedCalls, 1);
    // A lower bound only: the pause is slept in full before the end is noticed.
    EXPECT_GE(probe->finishedAt - probe->lastTaskEnd, std::chrono::milliseconds(300));
}

TEST_F(CommonThreadTest, UnlimitedRunsUntilTerminatedFromTheTask)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->extra = [thread](int run) {
        if (run == 4)
            thread->Terminate();
    };
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 4);
    // Terminating ends the cycles without the normal end.
    EXPECT_EQ(probe->finishedCalls, 0);
}

TEST_F(CommonThreadTest, UnlimitedRunsUntilActiveIsCleared)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->extra = [thread](int run) {
        if (run == 3)
            thread->Active = false;
    };
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 3);
    EXPECT_EQ(probe->finishedCalls, 1);
}

TEST_F(CommonThreadTest, ActiveClearedFromAnotherThreadEndsTheCycles)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->Resume();
    ASSERT_TRUE(probe->WaitUntil([&] { return probe->taskRuns >= 2; }));
    thread->Active = false; // still alive: it cannot end before this
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_GE(probe->taskRuns, 2);
    EXPECT_EQ(probe->finishedCalls, 1);
}

TEST_F(CommonThreadTest, PausedCyclesNeitherRunNorCount)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->RepeatCount = 3;
    std::mutex gate;
    std::condition_variable opened;
    bool paused = false;
    thread->extra = [&](int run) {
        if (run == 1) {
            thread->Paused = true;
            std::lock_guard lock(gate);
            paused = true;
            opened.notify_all();
        }
    };
    thread->Resume();
    {
        std::unique_lock lock(gate);
        ASSERT_TRUE(opened.wait_for(lock, WaitLimit, [&] { return paused; }));
    }
    // Many paused cycles of 5 ms pass here; had they counted, the thread would end.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(probe->TaskRuns(), 1);
    ASSERT_EQ(probe->FinishedCalls(), 0);
    ASSERT_FALSE(probe->WaitUntil([&] { return probe->destroyed; }, std::chrono::seconds(0)));
    thread->Paused = false; // still alive: the count has not been reached
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 3);
    EXPECT_EQ(probe->finishedCalls, 1);
}

TEST_F(CommonThreadTest, InactiveBeforeResumeFinishesAtOnce)
{
    auto* thread = new ProbedThread(probe);
    thread->Active = false;
    thread->Interval = 60000; // a cycle would keep the thread for a minute
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 0);
    EXPECT_EQ(probe->finishedCalls, 1);
}

TEST_F(CommonThreadTest, ExceptionInTaskEndsTheThreadWhichStillFreesItself)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->extra = [](int) { throw std::runtime_error("task failed"); };
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 1);
    EXPECT_EQ(probe->finishedCalls, 0);
}

TEST_F(CommonThreadTest, ExceptionInOnFinishedStillFreesTheThread)
{
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 0;
    thread->OnFinished = [] { throw 42; };
    thread->Resume();
    EXPECT_TRUE(probe->WaitDestroyed());
}

TEST_F(CommonThreadTest, ResumeStartsTheThreadOnlyOnce)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->RepeatCount = 1;
    std::mutex gate;
    std::condition_variable opened;
    bool open = false;
    thread->extra = [&](int) {
        std::unique_lock lock(gate);
        opened.wait(lock, [&] { return open; });
    };
    thread->Resume();
    thread->Resume(); // alive: its task waits for the gate
    {
        std::lock_guard lock(gate);
        open = true;
    }
    opened.notify_all();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 1);
    EXPECT_EQ(probe->finishedCalls, 1);
}

// What the client waits for when it ends: not only the task, but the pause after it and the
// thread's end; a thread that is still busy makes the wait fail without blocking it.
TEST_F(CommonThreadTest, JoinAllWaitsForTheWholeThreadAndGivesUpWhileOneRuns)
{
    auto* thread = new ProbedThread(probe);
    thread->Synchronized = false;
    thread->RepeatCount = 1;
    thread->Interval = 100; // as the client's tasks have it
    std::mutex gate;
    std::condition_variable opened;
    bool open = false;
    thread->extra = [&](int) {
        std::unique_lock lock(gate);
        opened.wait(lock, [&] { return open; });
    };
    thread->Resume();
    ASSERT_TRUE(probe->WaitUntil([&] { return probe->taskRuns == 1; }));
    const auto giveUpStart = Clock::now();
    EXPECT_FALSE(TCommonThread::JoinAll(std::chrono::milliseconds(50)));
    EXPECT_LT(Clock::now() - giveUpStart, std::chrono::seconds(5));
    {
        std::lock_guard lock(gate);
        open = true;
    }
    opened.notify_all();
    ASSERT_TRUE(TCommonThread::JoinAll(std::chrono::seconds(20)));
    std::lock_guard lock(probe->mutex);
    EXPECT_TRUE(probe->destroyed);
    EXPECT_EQ(probe->finishedCalls, 1);
    EXPECT_GE(Clock::now() - probe->lastTaskEnd, std::chrono::milliseconds(100));
    EXPECT_TRUE(TCommonThread::JoinAll(std::chrono::milliseconds(0)));
}

// A stand-in for the UI thread: runs each method on a thread of its own and waits.
struct RecordingSynchronizer {
    std::mutex mutex;
    int calls = 0;
    std::vector<std::thread::id> threads;

    TCommonThread::TSynchronizer Hook()
    {
        return [this](const TCommonThread::TMethod& method) {
            std::thread runner([&] {
                {
                    std::lock_guard lock(mutex);
                    ++calls;
                    threads.push_back(std::this_thread::get_id());
                }
                method();
            });
            runner.join();
        };
    }
};

TEST_F(CommonThreadTest, SynchronizedTaskRunsThroughTheSynchronizer)
{
    RecordingSynchronizer sync;
    TCommonThread::SetSynchronizer(sync.Hook());
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 2;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 2);
    ASSERT_EQ(sync.calls, 2);
    EXPECT_EQ(probe->taskThread, sync.threads.back());
    // OnFinished always runs on the worker itself.
    EXPECT_EQ(probe->finishedCalls, 1);
    EXPECT_NE(probe->finishedThread, sync.threads.back());
}

TEST_F(CommonThreadTest, UnsynchronizedTaskBypassesTheSynchronizer)
{
    RecordingSynchronizer sync;
    TCommonThread::SetSynchronizer(sync.Hook());
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 2;
    thread->Synchronized = false;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 2);
    EXPECT_EQ(sync.calls, 0);
    EXPECT_EQ(probe->taskThread, probe->finishedThread);
}

TEST_F(CommonThreadTest, SynchronizedTaskWithoutSynchronizerRunsOnTheWorker)
{
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 1;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    EXPECT_EQ(probe->taskRuns, 1);
    EXPECT_EQ(probe->taskThread, probe->finishedThread);
    EXPECT_NE(probe->taskThread, std::this_thread::get_id());
}

TEST_F(CommonThreadTest, PriorityHandlerRunsOnTheWorkerWithLowest)
{
    std::mutex mutex;
    std::vector<std::pair<TThreadPriority, std::thread::id>> calls;
    TCommonThread::SetPriorityHandler([&](TThreadPriority priority) {
        std::lock_guard lock(mutex);
        calls.emplace_back(priority, std::this_thread::get_id());
    });
    auto* thread = new ProbedThread(probe);
    thread->RepeatCount = 1;
    thread->Synchronized = false;
    thread->Resume();
    ASSERT_TRUE(probe->WaitDestroyed());
    std::lock_guard lock(mutex);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, TThreadPriority::Lowest);
    EXPECT_EQ(calls[0].second, probe->taskThread);
    EXPECT_NE(calls[0].second, std::this_thread::get_id());
}

} // namespace
