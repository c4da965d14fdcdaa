#pragma once
// A worker that runs Task in cycles: RepeatCount times (-1: without limit), pausing
// Interval ms after every cycle, either on its own thread or, when Synchronized, on the
// UI thread while the worker waits. Created suspended; Resume() starts it, and from then
// on the object belongs to itself and is deleted when its thread body returns. The
// thread itself is not detached: JoinAll() joins every thread started so far, so a
// program can end only once none of them runs any more.
//
// Fields may be changed from any thread; a change takes effect at the next test of the
// loop. Task and OnFinished must be set before Resume().

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace core {

enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class TCommonThread {
public:
    using TMethod = std::function<void()>;
    // Runs a method on the UI thread and returns once it has run there.
    using TSynchronizer = std::function<void(const TMethod&)>;
    // Applies a priority to the calling thread.
    using TPriorityHandler = std::function<void(TThreadPriority)>;

    TCommonThread();
    TCommonThread(const TCommonThread&) = delete;
    TCommonThread& operator=(const TCommonThread&) = delete;

    std::atomic<std::int32_t> Interval{100};
    std::atomic<bool> Synchronized{true};
    std::atomic<bool> Active{true};
    std::atomic<bool> Paused{false};
    std::atomic<std::int32_t> RepeatCount{-1};
    TMethod Task;
    TMethod OnFinished;
    std::atomic<TThreadPriority> Priority{TThreadPriority::Lowest};

    void SetTask(TMethod method) { Task = std::move(method); }
    // Starts the thread once; later calls do nothing.
    void Resume();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    // Installed once at start-up by the application; without a synchronizer a
    // synchronized Task runs on the worker itself.
    static void SetSynchronizer(TSynchronizer synchronizer);
    static void SetPriorityHandler(TPriorityHandler handler);
    // Waits until the body of every thread started by Resume() has returned (the object
    // deleted, the pause after the last cycle over) and joins those threads. False when
    // some are still running after `timeout`; those are left running.
    static bool JoinAll(std::chrono::milliseconds timeout);

protected:
    virtual ~TCommonThread();
    virtual void Execute();
    void Synchronize(const TMethod& method);

private:
    void Run();

    std::atomic<bool> terminated_{false};
    std::atomic<bool> started_{false};
};

// Runs `task` once on a worker of its own, unsynchronized; JoinAll waits for it too.
void RunOnceInBackground(TCommonThread::TMethod task);

} // namespace core
