#pragma once
// A way out of a page that shows one script dialog after another: from the third box of
// one page within ten seconds on, the box offers to suppress that page's dialogs, until
// the page navigates. Pages are told apart by an id; times are steady milliseconds.

#include <cstdint>
#include <map>

namespace core {

class TDialogFloodGuard {
public:
    static constexpr int BoxesBeforeOffer = 2;
    static constexpr std::int64_t WindowMs = 10000;

    // A box is about to be shown for `page`: true when it should offer the suppression.
    bool BoxShown(int page, std::int64_t nowMs);
    // The user ticked the offer: the page's further dialogs get no box.
    void Suppress(int page);
    bool IsSuppressed(int page) const;
    // The page loads another document: it starts afresh.
    void PageNavigated(int page);

private:
    struct PageState {
        std::int64_t Recent[BoxesBeforeOffer] = {}; // the last boxes' times, oldest first
        int Count = 0;
        bool Suppressed = false;
    };
    std::map<int, PageState> pages_;
};

} // namespace core
