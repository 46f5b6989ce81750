// The window's small links to Windows: the time of day, the default browser
// and keeping the display awake.
#pragma once

#include "platform/Window.h"

namespace platform {

class Win32Clock final : public Clock {
public:
    LocalTime Now() const override;
    // From the performance counter, which no change of the wall clock moves.
    std::int64_t SteadyMilliseconds() const override;
};

// Opens a web address, or a local file in its default program, through the
// shell. Only http(s) addresses and regular files other than programs are
// opened: a configured path must never start a program.
class Win32Browser final : public Browser {
public:
    bool Open(const std::string& target) override;
};

// Tells Windows the display is needed (SetThreadExecutionState) while a
// countdown runs, so neither the screen saver nor the display's power saving
// blanks the projector. The request belongs to the window's thread, the one
// the logic calls from.
class Win32DisplaySleep final : public DisplaySleep {
public:
    ~Win32DisplaySleep() override;
    void SetInhibited(bool inhibited) override;

private:
    bool inhibited_ = false;
};

}  // namespace platform
