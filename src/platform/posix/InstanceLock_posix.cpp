#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

std::string RuntimeDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        ::access(runtime, W_OK) == 0)
        return runtime;
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp && ::stat(tmp, &st) == 0 && S_ISDIR(st.st_mode))
        return tmp;
    return "/tmp";
}

} // namespace

InstanceLock::InstanceLock(const std::string& name)
{
    const std::string base =
        RuntimeDirectory() + "/" + name + "-" + std::to_string(static_cast<unsigned>(::getuid()));
    lockPath_ = base + ".lock";
    channelPath_ = base + ".sock";
    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        acquired_ = true;
        return;
    }
    acquired_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool NotifyRunningInstance(const std::string& channelPath, std::int64_t handle)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (channelPath.size() >= sizeof(addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, channelPath.c_str(), channelPath.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool sent = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
        const std::string message = std::to_string(handle) + "\n";
        sent = ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(message.size());
    }
    ::close(fd);
    return sent;
}

} // namespace platform
