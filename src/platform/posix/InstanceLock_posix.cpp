#include "platform/InstanceLock.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

// A directory of this user alone: owned by it, no permission for anybody else, not a link.
bool Private(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & (S_IRWXG | S_IRWXO)) == 0 && (st.st_mode & S_IRWXU) == S_IRWXU;
}

// In a directory that others may write ($TMPDIR, /tmp), somebody else may have made our
// name first: the first of "quillmark-UID", "quillmark-UID-1", ... that is ours and
// private is taken, so that every start of this user finds the same one. When all are
// taken, a fresh one of a random name; empty when none can be made.
std::string PrivateDirectoryIn(const std::string& parent)
{
    constexpr int Attempts = 16;
    const std::string base = parent + "/quillmark-" + std::to_string(::getuid());
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::string path = attempt ? base + "-" + std::to_string(attempt) : base;
        if (::mkdir(path.c_str(), 0700) == 0)
            ::chmod(path.c_str(), 0700); // whatever the umask took away
        else if (errno != EEXIST)
            return {};
        if (Private(path))
            return path;
    }
    std::string fresh = base + "-XXXXXX";
    return ::mkdtemp(fresh.data()) ? fresh : std::string();
}

std::string RuntimeDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::getuid() && ::access(runtime, W_OK) == 0)
        return runtime;
    const char* tmp = std::getenv("TMPDIR");
    const bool tmpUsable = tmp && *tmp && ::stat(tmp, &st) == 0 && S_ISDIR(st.st_mode);
    return PrivateDirectoryIn(tmpUsable ? tmp : "/tmp");
}

// The display session a client belongs to, as a file-name part: "-:0" becomes "-_0".
// Empty without a display (a headless start shares one lock).
std::string DisplaySuffix()
{
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display)
        display = std::getenv("DISPLAY");
    if (!display || !*display)
        return {};
    std::string suffix = "-";
    for (const char* c = display; *c && suffix.size() < 64; ++c) {
        const bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                           (*c >= '0' && *c <= '9') || *c == '.' || *c == '-';
        suffix += plain ? *c : '_';
    }
    return suffix;
}

bool SendAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data.remove_prefix(size_t(sent));
    }
    return true;
}

// Reads up to and with the first newline; what came before the peer closed when it closes
// first; nullopt when the deadline passes first.
std::optional<std::string> ReceiveLine(int fd, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    while (line.empty() || line.back() != '\n') {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd poller{fd, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&poller, 1, int(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[64];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        line.append(buffer, size_t(got));
        if (line.size() > 256)
            break;
    }
    return line;
}

} // namespace

InstanceLock::InstanceLock(const std::string& name)
{
    const std::string directory = RuntimeDirectory();
    if (directory.empty()) {
        acquired_ = true;
        return;
    }
    const std::string base = directory + "/" + name + "-" +
                             std::to_string(static_cast<unsigned>(::getuid())) + DisplaySuffix();
    lockPath_ = base + ".lock";
    channelPath_ = base + ".sock";
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        acquired_ = true;
        return;
    }
    held_ = fd;
    acquired_ = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock()
{
    if (held_ >= 0)
        ::close(static_cast<int>(held_));
}

std::optional<std::string> SendToRunningInstance(const std::string& channelPath,
                                                 const std::string& line, int timeoutMs)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (channelPath.size() >= sizeof(addr.sun_path))
        return std::nullopt;
    std::memcpy(addr.sun_path, channelPath.c_str(), channelPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 && SendAll(fd, line))
        answer = ReceiveLine(fd, timeoutMs);
    ::close(fd);
    return answer;
}

} // namespace platform
