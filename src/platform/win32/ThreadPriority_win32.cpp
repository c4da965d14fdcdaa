#include "platform/ThreadPriority.h"

#include <windows.h>

namespace platform {
namespace {

int WindowsPriority(core::TThreadPriority priority)
{
    using core::TThreadPriority;
    switch (priority) {
    case TThreadPriority::Idle:
        return THREAD_PRIORITY_IDLE;
    case TThreadPriority::Lowest:
        return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::Lower:
        return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::Normal:
        return THREAD_PRIORITY_NORMAL;
    case TThreadPriority::Higher:
        return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::Highest:
        return THREAD_PRIORITY_HIGHEST;
    case TThreadPriority::TimeCritical:
        return THREAD_PRIORITY_TIME_CRITICAL;
    }
    return THREAD_PRIORITY_NORMAL;
}

} // namespace

void ApplyThreadPriority(core::TThreadPriority priority)
{
    ::SetThreadPriority(::GetCurrentThread(), WindowsPriority(priority));
}

} // namespace platform
