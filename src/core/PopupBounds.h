#pragma once
// The two bounds that keep a runaway page from exhausting the machine with popups: at
// most `MaxTabs` open tabs, and per chain of popups (the tab a chain started from and
// every popup opened from it) at most `ChainLimit` popups without a user gesture in
// any `WindowMs`. Ordinary use never meets them. Times are steady milliseconds.

#include <cstdint>
#include <deque>
#include <map>

namespace core {

class TPopupBounds {
public:
    static constexpr int DefaultMaxTabs = 200;
    static constexpr int DefaultChainLimit = 50;
    static constexpr std::int64_t WindowMs = 10000;

    enum TVerdict { Open, TooManyTabs, TooFast };

    TPopupBounds(int maxTabs, int chainLimit) : maxTabs_(maxTabs), chainLimit_(chainLimit) {}

    // A popup of `chain` is asked for while `openTabs` tabs are open. An opened popup
    // without a user gesture counts against its chain.
    TVerdict Admit(int chain, bool userGesture, int openTabs, std::int64_t nowMs);

    int MaxTabs() const { return maxTabs_; }
    int ChainLimit() const { return chainLimit_; }

private:
    int maxTabs_;
    int chainLimit_;
    std::map<int, std::deque<std::int64_t>> recent_; // per chain, oldest first
};

} // namespace core
