#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace platform {
namespace {

// Nice offsets from the client's own nice value (lower = more CPU).
int NiceOffset(core::TThreadPriority priority)
{
    using core::TThreadPriority;
    switch (priority) {
    case TThreadPriority::Idle:
        return 19;
    case TThreadPriority::Lowest:
        return 10;
    case TThreadPriority::Lower:
        return 5;
    case TThreadPriority::Normal:
        return 0;
    case TThreadPriority::Higher:
        return -5;
    case TThreadPriority::Highest:
        return -10;
    case TThreadPriority::TimeCritical:
        return -20;
    }
    return 0;
}

// The nice value the client was started with, taken once from the main thread (on Linux
// the process's entry is its first thread).
int ProcessNice()
{
    static const int nice = [] {
        errno = 0;
        const int value = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
        return errno == 0 ? value : 0;
    }();
    return nice;
}

} // namespace

void ApplyThreadPriority(core::TThreadPriority priority)
{
    // On Linux a thread id addresses that one thread, not the whole process.
    const int nice = std::clamp(ProcessNice() + NiceOffset(priority), -20, 19);
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice);
}

} // namespace platform
