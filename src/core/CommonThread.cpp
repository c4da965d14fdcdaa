#include "core/CommonThread.h"

#include <algorithm>
#include <chrono>
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
    std::thread([this] { Run(); }).detach();
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

} // namespace core
