#pragma once
// One running client per user and display session. The lock is held as long as the object
// lives and is released by the kernel if the process dies. Beside it lives the path of
// the local channel on which the running client listens for a second start.
//
// On Windows the lock is the named mutex `name` in the logon session's namespace, and the
// channel is the running client's main window itself (the hand-over line names it):
// LockPath() is the mutex's name, ChannelPath() is empty.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class InstanceLock {
public:
    // name: "BrowserQuillmark". The files go to $XDG_RUNTIME_DIR when it is this user's,
    // else to a directory of this user alone in the temporary directory ("quillmark-UID",
    // made with mode 0700; one that another user made or may enter is passed over), with
    // the user id and the display ($WAYLAND_DISPLAY, else $DISPLAY) in their names.
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock. Also true when the lock file cannot
    // be made at all: start-up then goes on as a first instance (the paths are empty when
    // no directory could be had).
    bool Acquired() const { return acquired_; }
    const std::string& LockPath() const { return lockPath_; }
    const std::string& ChannelPath() const { return channelPath_; }

private:
    std::string lockPath_;
    std::string channelPath_;
    // The lock file's descriptor here, the mutex's handle on Windows; -1 when none is held.
    std::intptr_t held_ = -1;
    bool acquired_ = false;
};

// Sends one hand-over line (core/HandOver.h) to the running instance on `channelPath` and
// waits at most `timeoutMs` for its one-line answer, returned with its newline (empty
// when the instance closed without answering). nullopt when nobody listens or no answer
// came in time. On Windows the line goes to the window it names: showing the window is
// message 2027 posted to it (answered "done" once posted), anything else the line as
// WM_COPYDATA (the window's result 1 means done).
std::optional<std::string> SendToRunningInstance(const std::string& channelPath,
                                                 const std::string& line, int timeoutMs);

} // namespace platform
