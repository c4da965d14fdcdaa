#include "platform/ConsoleRun.h"

#include "platform/PlatformLog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using console::TStreams;

class TFd {
public:
    explicit TFd(int fd = -1) : fd_(fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

void LogExecuteError(const std::string& reason)
{
    LogWarning("Execute error\r\n" + reason);
}

// /bin/sh -c command in a session of its own (no controlling terminal; its process group
// can be killed as a whole), stdin from /dev/null, stdout (and stderr) into outFd.
// Returns 0 or the error number.
int Spawn(const std::string& command, int outFd, TStreams streams, pid_t& pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (streams == TStreams::OutputAndErrors)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    // The client may block or ignore signals (SIGPIPE above all); the command must not
    // inherit that.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    const int error = posix_spawn(&pid, "/bin/sh", &actions, &attributes,
                                  const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// Reads whatever the pipe holds now. True once the writing side is closed.
bool Drain(int fd, std::string& output)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            output.append(buffer, static_cast<size_t>(n));
        else if (n == 0)
            return true;
        else if (errno != EINTR)
            return errno != EAGAIN && errno != EWOULDBLOCK;
    }
}

// True once the child has ended and is reaped; status -1 when someone else reaped it.
bool Reap(pid_t pid, int& status)
{
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return true;
        if (r == 0)
            return false;
        if (errno != EINTR) {
            status = -1;
            return true;
        }
    }
}

} // namespace

namespace console {

std::optional<std::string> Run(const std::string& command, TStreams streams, int timeoutMs)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        LogExecuteError(std::strerror(errno));
        return std::nullopt;
    }
    TFd readEnd(ends[0]);
    TFd writeEnd(ends[1]);
    pid_t pid = 0;
    if (const int error = Spawn(command, writeEnd.Get(), streams, pid); error != 0) {
        LogExecuteError(std::strerror(error));
        return std::nullopt;
    }
    // Only the command holds the write end now, so end of file means it closed its side.
    writeEnd.Close();
    ::fcntl(readEnd.Get(), F_SETFL, O_NONBLOCK);
    // Readable when the child ends; without it (old kernels) the exit is checked in short
    // poll waits once the output has ended.
    TFd exitFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::string output;
    bool endOfOutput = false;
    bool exited = false;
    int status = 0;
    for (;;) {
        if (!exited)
            exited = Reap(pid, status);
        if (endOfOutput && exited)
            break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd watched[2];
        nfds_t count = 0;
        if (!endOfOutput)
            watched[count++] = {readEnd.Get(), POLLIN, 0};
        if (!exited && exitFd.Get() >= 0)
            watched[count++] = {exitFd.Get(), POLLIN, 0};
        int wait = static_cast<int>(std::min<long long>(left.count(), 60'000));
        if (!exited && exitFd.Get() < 0 && endOfOutput)
            wait = std::min(wait, 10);
        if (::poll(watched, count, wait) < 0 && errno != EINTR) {
            LogExecuteError(std::strerror(errno));
            break;
        }
        if (!endOfOutput)
            endOfOutput = Drain(readEnd.Get(), output);
    }

    if (!(endOfOutput && exited)) {
        LogWarning("Command did not end within " + std::to_string(timeoutMs) +
                   " ms, killed: " + command);
        // The whole session: whatever the shell started holds the pipe as well.
        ::kill(-pid, SIGKILL);
        while (!exited && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        Drain(readEnd.Get(), output);
    } else if (status != -1 && WIFEXITED(status) &&
               (WEXITSTATUS(status) == 127 || WEXITSTATUS(status) == 126)) {
        // The shell could not find or execute the command; what it printed is its reason.
        std::string reason = "/bin/sh exit status " + std::to_string(WEXITSTATUS(status));
        if (!output.empty())
            reason += ": " + output.substr(0, output.find_last_not_of("\r\n") + 1);
        LogExecuteError(reason);
        return std::nullopt;
    }
    return output;
}

std::string Decode(const std::string& bytes)
{
    return bytes;
}

} // namespace console
} // namespace platform
