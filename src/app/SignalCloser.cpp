#include "app/SignalCloser.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler only writes a byte: nothing else is safe inside a signal handler.
int writeEnd = -1;

void OnSignal(int /*signal*/) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(writeEnd, &byte, 1);
    errno = saved;
}

// A terminal's job control or nohup may have started us with SIGINT or
// SIGHUP ignored; that choice is kept. SIGTERM always ends the program cleanly.
bool WasIgnored(int signal) {
    struct sigaction current {};
    return signal != SIGTERM && ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

SignalCloser::SignalCloser(std::function<void()> close) : close_(std::move(close)) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) {
        throw std::runtime_error("无法准备接收结束信号");
    }
    writeEnd = ends[0];
    readEnd_ = ends[1];
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });

    sigset_t unblock;
    sigemptyset(&unblock);
    for (const int signal : kSignals) {
        if (WasIgnored(signal)) continue;
        struct sigaction action {};
        action.sa_handler = &OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
        sigaddset(&unblock, signal);
    }
    // A signal that came while it was still blocked (inherited from the
    // parent) is delivered now, to the handler.
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
}

SignalCloser::~SignalCloser() {
    for (const int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == &OnSignal) {
            ::signal(signal, SIG_DFL);
        }
    }
    notifier_.reset();
    ::close(writeEnd);
    ::close(readEnd_);
    writeEnd = -1;
}

void SignalCloser::Drain() {
    char bytes[16];
    bool any = false;
    while (::read(readEnd_, bytes, sizeof bytes) > 0) any = true;
    if (any) close_();
}
