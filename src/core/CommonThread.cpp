#include "core/CommonThread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

namespace core {
namespace {

std::mutex hooksMutex;
TCommonThread::TSynchronizer& Synchronizer()
{
    static TCommonThread::TSynchronizer s;
    return s;
}
TCommonThread::TPriorityHandler& PriorityHandler()
{
    static TCommonThread::TPriorityHandler h;
    return h;
}

// Every thread started and not yet joined. A thread marks itself done as the very last
// thing it does, so joining a done one returns at once.
struct StartedThread {
    std::thread Thread;
    bool Done = false;
};
struct StartedThreads {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::list<StartedThread> List;

    // Joins the threads that are done; call with Mutex held.
    void JoinDone()
    {
        for (auto it = List.begin(); it != List.end();) {
            if (!it->Done) {
                ++it;
                continue;
            }
            it->Thread.join();
            it = List.erase(it);
        }
    }
};
StartedThreads& Started()
{
    // Never destroyed: a thread still running at exit must find it intact.
    static auto* started = new StartedThreads;
    return *started;
}

} // namespace

TCommonThread::TCommonThread() = default;
TCommonThread::~TCommonThread() = default;

void TCommonThread::SetSynchronizer(TSynchronizer synchronizer)
{
    std::lock_guard lock(hooksMutex);
    Synchronizer() = std::move(synchronizer);
}

void TCommonThread::SetPriorityHandler(TPriorityHandler handler)
{
    std::lock_guard lock(hooksMutex);
    PriorityHandler() = std::move(handler);
}

void TCommonThread::Resume()
{
    if (started_.exchange(true))
        return;
    StartedThreads& started = Started();
    std::lock_guard lock(started.Mutex);
    started.JoinDone();
    StartedThread& entry = started.List.emplace_back();
    // The new thread reaches `entry` only under the lock, so after it has been filled in.
    entry.Thread = std::thread([this, &entry] {
        Run();
        StartedThreads& all = Started();
        {
            std::lock_guard done(all.Mutex);
            entry.Done = true;
        }
        all.Changed.notify_all();
    });
}

bool TCommonThread::JoinAll(std::chrono::milliseconds timeout)
{
    StartedThreads& started = Started();
    std::unique_lock lock(started.Mutex);
    const bool allDone = started.Changed.wait_for(lock, timeout, [&] {
        return std::all_of(started.List.begin(), started.List.end(),
                           [](const StartedThread& t) { return t.Done; });
    });
    started.JoinDone();
    return allDone;
}

void TCommonThread::Run()
{
    TPriorityHandler applyPriority;
    {
        std::lock_guard lock(hooksMutex);
        applyPriority = PriorityHandler();
    }
    if (applyPriority)
        applyPriority(Priority);
    try {
        Execute();
    } catch (...) {
        // An escaping error only ends the cycles; the thread still frees itself.
    }
    delete this;
}

void TCommonThread::Synchronize(const TMethod& method)
{
    TSynchronizer sync;
    {
        std::lock_guard lock(hooksMutex);
        sync = Synchronizer();
    }
    if (sync)
        sync(method);
    else
        method();
}

void TCommonThread::Execute()
{
    std::int32_t counter = 0;
    for (;;) {
        if (terminated_)
            return;
        const std::int32_t repeat = RepeatCount;
        if (!(Active && (counter < repeat || repeat == -1)))
            break;
        if (!Paused) {
            if (Task) {
                if (Synchronized)
                    Synchronize(Task);
                else
                    Task();
            }
            ++counter;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max<std::int32_t>(0, Interval)));
    }
    if (OnFinished)
        OnFinished();
}

void RunOnceInBackground(TCommonThread::TMethod task)
{
    auto* thread = new TCommonThread;
    thread->Synchronized = false;
    thread->RepeatCount = 1;
    thread->SetTask(std::move(task));
    thread->Resume();
}

} // namespace core
