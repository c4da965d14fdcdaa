#pragma once
// The system's requests to end a running client (SIGTERM, SIGINT, SIGHUP on POSIX; the
// console's Ctrl+C, Ctrl+Break, close, log-off and shut-down events on Windows), handed to
// the UI thread's event loop instead of killing the process on the spot. UI thread.

#include <functional>
#include <memory>

namespace platform {

class TerminationSignals {
public:
    // `name`: "SIGTERM", "SIGINT" or "SIGHUP" (on Windows: Ctrl+C and Ctrl+Break are
    // "SIGINT", closing the console "SIGHUP", log-off and shut-down "SIGTERM").
    using THandler = std::function<void(const char* name)>;

    // From now on, for the rest of the process, these signals no longer end it by
    // themselves: each one reaches `handler` from the event loop of the calling thread.
    // Once this object is gone they are dropped, so a request that comes while the client
    // ends in order cannot cut that short. One object at a time.
    explicit TerminationSignals(THandler handler);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    // What delivers them to the event loop; per OS.
    struct TDelivery;
    THandler handler_;
    std::unique_ptr<TDelivery> delivery_;
};

} // namespace platform
