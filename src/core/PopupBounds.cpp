#include "core/PopupBounds.h"

namespace core {

TPopupBounds::TVerdict TPopupBounds::Admit(int chain, bool userGesture, int openTabs,
                                           std::int64_t nowMs)
{
    if (openTabs >= maxTabs_)
        return TooManyTabs;
    if (userGesture)
        return Open;
    std::deque<std::int64_t>& recent = recent_[chain];
    while (!recent.empty() && nowMs - recent.front() >= WindowMs)
        recent.pop_front();
    if (int(recent.size()) >= chainLimit_)
        return TooFast;
    recent.push_back(nowMs);
    return Open;
}

} // namespace core
