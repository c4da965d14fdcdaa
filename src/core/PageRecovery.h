#pragma once
// When a page that failed comes back by itself: the pauses between attempts to reach
// the service, which failed loads count as "the service cannot be reached", and whether
// a crashed start tab may reload without the user. Times are steady milliseconds.

#include <cstdint>
#include <vector>

namespace core {

// Pauses that grow, then repeat the last one for good.
class TRetrySchedule {
public:
    explicit TRetrySchedule(std::vector<int> pausesMs);
    // The pause before the next attempt.
    int NextPauseMs();
    // A load succeeded: the next failure starts from the first pause again.
    void Reset() { next_ = 0; }

private:
    std::vector<int> pauses_;
    std::size_t next_ = 0;
};

// A failed main-frame load: `httpStatus` true means `code` is the HTTP status of an
// answer, else a network error code (negative, as the engine's network stack numbers
// them). Refused connections, names that do not resolve, time-outs and 5xx answers
// count; a load the user or the client stopped does not.
bool IsServiceUnreachable(bool httpStatus, int code);

// A renderer that dies reloads its page by itself once; a second crash within
// `windowMs` of that reload waits for the user, so a page that crashes on every load
// does not loop.
class TCrashReloadPolicy {
public:
    explicit TCrashReloadPolicy(std::int64_t windowMs) : windowMs_(windowMs) {}
    // The renderer died at `nowMs`: true when the page should reload by itself.
    bool ReloadByItself(std::int64_t nowMs);

private:
    std::int64_t windowMs_;
    bool reloaded_ = false;
    std::int64_t lastReloadMs_ = 0;
};

} // namespace core
