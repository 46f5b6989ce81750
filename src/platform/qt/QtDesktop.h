// The window's small links to the desktop: the time of day, the default
// browser and the screen saver.
#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

#include "platform/Window.h"

namespace platform {

class QtClock final : public Clock {
public:
    LocalTime Now() const override;
    std::int64_t SteadyMilliseconds() const override;
};

// Opens a web address, or a local file in its default program. The target is
// handed to the desktop as a URL, never to a shell.
class QtBrowser final : public Browser {
public:
    bool Open(const std::string& target) override;
};

// Asks the session's screen saver (org.freedesktop.ScreenSaver on the D-Bus
// session bus) not to blank the projector while a countdown runs. Without a
// session bus or screen saver service nothing happens, and nothing is reported.
class QtDisplaySleep final : public DisplaySleep {
public:
    QtDisplaySleep();
    ~QtDisplaySleep() override;
    QtDisplaySleep(const QtDisplaySleep&) = delete;
    QtDisplaySleep& operator=(const QtDisplaySleep&) = delete;

    void SetInhibited(bool inhibited) override;

private:
    void Inhibit();
    void Release();
    void Answered(std::optional<std::uint32_t> cookie);

    // The request is asynchronous, so the projector never waits on the bus;
    // these track what was asked for and what the screen saver granted.
    bool wanted_ = false;
    bool pending_ = false;
    std::optional<std::uint32_t> cookie_;
    QObject context_;
};

}  // namespace platform
