#include "platform/DetachedProcess.h"

#include "platform/PlatformLog.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// What the started side writes into the report pipe when the program cannot run; an
// empty pipe at its end means exec succeeded.
struct TFailure {
    enum Stage : int { Fork, WorkingDirectory, Exec } Where;
    int Error;
};

// After fork only async-signal-safe calls: everything is prepared before.
struct TLaunch {
    const char* Program;
    char* const* Argv;
    const char* WorkingDirectory; // nullptr: keep ours
    int DescriptorLimit;
};

[[noreturn]] void Fail(int report, TFailure::Stage where)
{
    const TFailure failure{where, errno};
    [[maybe_unused]] const ssize_t written = ::write(report, &failure, sizeof failure);
    ::_exit(127);
}

// Standard input, output and error stay (as /dev/null where one is closed); every other
// descriptor, the report pipe included, closes on exec.
int KeepOnlyStandardDescriptors(int report, int descriptorLimit)
{
    if (report <= STDERR_FILENO) {
        const int moved = ::fcntl(report, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        ::close(report);
        report = moved;
    }
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_SETFD, 0) != 0)
            ::open("/dev/null", O_RDWR); // takes the lowest free number: fd
    if (::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0)
        for (int fd = STDERR_FILENO + 1; fd < descriptorLimit; ++fd)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return report;
}

// Signals ignored or blocked here would stay so in the program.
void ResetSignals()
{
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number)
        ::sigaction(number, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The child: a session of its own, then a grandchild that runs the program, so that the
// program is nobody's child here and never a zombie of ours. _Fork runs no fork handlers,
// which may take locks that another thread of ours held at the first fork.
[[noreturn]] void RunInChild(const TLaunch& launch, int report)
{
    ::setsid();
    const pid_t program = ::_Fork();
    if (program < 0)
        Fail(report, TFailure::Fork);
    if (program > 0)
        ::_exit(0);
    report = KeepOnlyStandardDescriptors(report, launch.DescriptorLimit);
    ResetSignals();
    if (launch.WorkingDirectory && ::chdir(launch.WorkingDirectory) != 0)
        Fail(report, TFailure::WorkingDirectory);
    ::execv(launch.Program, launch.Argv);
    Fail(report, TFailure::Exec);
}

int DescriptorLimit()
{
    rlimit limit = {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur > (1u << 20))
        return 1 << 20;
    return int(limit.rlim_cur);
}

std::string Describe(const TFailure& failure)
{
    const std::string reason = std::strerror(failure.Error);
    switch (failure.Where) {
    case TFailure::Fork:
        return "cannot fork: " + reason;
    case TFailure::WorkingDirectory:
        return "working directory: " + reason;
    case TFailure::Exec:
        break;
    }
    return reason;
}

// Waits for the child (which ends at once) and reads what the program's side reported.
std::optional<TFailure> Outcome(pid_t child, int report)
{
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    TFailure failure = {};
    ssize_t got = 0;
    do
        got = ::read(report, &failure, sizeof failure);
    while (got < 0 && errno == EINTR);
    if (got == ssize_t(sizeof failure))
        return failure;
    return std::nullopt;
}

} // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, std::string* error)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const TLaunch launch{program.c_str(), argv.data(),
                         workingDirectory.empty() ? nullptr : workingDirectory.c_str(),
                         DescriptorLimit()};

    std::optional<TFailure> failure;
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        failure = TFailure{TFailure::Fork, errno};
    } else {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(report[0]);
            RunInChild(launch, report[1]);
        }
        const int forkError = errno;
        ::close(report[1]);
        failure = child < 0 ? TFailure{TFailure::Fork, forkError} : Outcome(child, report[0]);
        ::close(report[0]);
    }
    if (!failure)
        return true;
    const std::string reason = Describe(*failure);
    LogWarning("Cannot start " + program + ": " + reason);
    if (error)
        *error = reason;
    return false;
}

} // namespace platform
