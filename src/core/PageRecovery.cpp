#include "core/PageRecovery.h"

#include <utility>

namespace core {
namespace {
// net::ERR_ABORTED: the load was stopped or replaced by another one.
constexpr int NetErrorAborted = -3;
} // namespace

TRetrySchedule::TRetrySchedule(std::vector<int> pausesMs) : pauses_(std::move(pausesMs))
{
    if (pauses_.empty())
        pauses_.push_back(0);
}

int TRetrySchedule::NextPauseMs()
{
    const int pause = pauses_[next_];
    if (next_ + 1 < pauses_.size())
        ++next_;
    return pause;
}

bool IsServiceUnreachable(bool httpStatus, int code)
{
    if (httpStatus)
        return code >= 500 && code <= 599;
    return code < 0 && code != NetErrorAborted;
}

bool TCrashReloadPolicy::ReloadByItself(std::int64_t nowMs)
{
    if (reloaded_ && nowMs - lastReloadMs_ < windowMs_)
        return false;
    reloaded_ = true;
    lastReloadMs_ = nowMs;
    return true;
}

} // namespace core
