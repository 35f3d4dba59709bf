#include "app/TerminationSignals.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is written by the handler, [1] read on the UI thread.
int signalPipe[2] = {-1, -1};
constexpr int kHandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(Delivery delivery) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        throw std::runtime_error("cannot create the signal pipe");
    notifier = std::make_unique<QSocketNotifier>(signalPipe[1], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    notifier->setEnabled(delivery == Delivery::Immediate);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kHandledSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    for (const int signalNumber : kHandledSignals)
        ::signal(signalNumber, SIG_DFL);
    notifier.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::StartDelivery() {
    notifier->setEnabled(true);
}

void TerminationSignals::Drain() {
    unsigned char byte = 0;
    while (::read(signalPipe[1], &byte, 1) == 1)
        emit terminationRequested(byte);
}
