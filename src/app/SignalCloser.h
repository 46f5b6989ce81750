// Ends the program on SIGTERM, SIGINT and SIGHUP the way "退出" does: the
// window closes, the event loop returns and the configuration is saved. A
// logout, a Ctrl+C in the terminal or a service manager's stop loses nothing.
#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

class SignalCloser final {
public:
    // `close` runs on the GUI thread, from the event loop, once per signal.
    explicit SignalCloser(std::function<void()> close);
    ~SignalCloser();
    SignalCloser(const SignalCloser&) = delete;
    SignalCloser& operator=(const SignalCloser&) = delete;

private:
    void Drain();

    std::function<void()> close_;
    int readEnd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
