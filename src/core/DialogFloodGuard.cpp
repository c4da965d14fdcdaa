#include "core/DialogFloodGuard.h"

#include <algorithm>

namespace core {

bool TDialogFloodGuard::BoxShown(int page, std::int64_t nowMs)
{
    PageState& state = pages_[page];
    const bool offer = state.Count >= BoxesBeforeOffer && nowMs - state.Recent[0] <= WindowMs;
    std::shift_left(std::begin(state.Recent), std::end(state.Recent), 1);
    state.Recent[BoxesBeforeOffer - 1] = nowMs;
    state.Count = std::min(state.Count + 1, BoxesBeforeOffer);
    return offer;
}

void TDialogFloodGuard::Suppress(int page)
{
    pages_[page].Suppressed = true;
}

bool TDialogFloodGuard::IsSuppressed(int page) const
{
    const auto found = pages_.find(page);
    return found != pages_.end() && found->second.Suppressed;
}

void TDialogFloodGuard::PageNavigated(int page)
{
    pages_.erase(page);
}

} // namespace core
