#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/PlatformLog.h"

namespace platform {
namespace {

// The self-pipe: the handler writes the signal's number, the event loop reads it. It
// lives as long as the process, since a signal may come at any moment.
int signalPipe[2] = {-1, -1};

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int number)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // Non-blocking: when nobody reads any more the pipe fills up and the signal is dropped.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

const char* NameOf(int number)
{
    switch (number) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    default:
        return "SIGHUP";
    }
}

bool InstallHandlers()
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        LogWarning(std::string("no pipe for the termination signals: ") + std::strerror(errno) +
                   " - they end the client at once");
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : Handled)
        ::sigaction(number, &action, nullptr);
    return true;
}

} // namespace

struct TerminationSignals::TDelivery {
    QSocketNotifier Notifier{signalPipe[0], QSocketNotifier::Read};
};

TerminationSignals::TerminationSignals(THandler handler) : handler_(std::move(handler))
{
    if (!InstallHandlers())
        return;
    delivery_ = std::make_unique<TDelivery>();
    QObject::connect(&delivery_->Notifier, &QSocketNotifier::activated, &delivery_->Notifier,
                     [this] {
                         unsigned char byte = 0;
                         while (::read(signalPipe[0], &byte, 1) == 1)
                             handler_(NameOf(byte));
                     });
}

TerminationSignals::~TerminationSignals() = default;

} // namespace platform
