#include "platform/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return LastError();
        content.remove_prefix(size_t(written));
    }
    return {};
}

} // namespace

std::error_code WriteFileAtomically(const std::string& path, std::string_view content,
                                    unsigned mode)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return LastError();
    std::error_code error = WriteAll(fd, content);
    if (!error && ::fchmod(fd, mode_t(mode)) != 0)
        error = LastError();
    if (!error && ::fsync(fd) != 0)
        error = LastError();
    if (::close(fd) != 0 && !error)
        error = LastError();
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = LastError();
    if (error)
        ::unlink(temporary.c_str());
    return error;
}

} // namespace platform
