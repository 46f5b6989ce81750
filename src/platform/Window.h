// The window surface the logic draws on: client size, text measurement in the
// window's own font, title, background picture, closing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/PicturePlan.h"

namespace platform {

// Keys the time-keeper uses on the bar and to move between stages; the rest
// are of no interest to the logic.
enum class Key { Space, Enter, Left, Right, R, Backspace, PageUp, PageDown };

class Window {
public:
    virtual ~Window() = default;
    // Client area in twips.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Advance width and line height of one line of text in the window's font, in twips.
    virtual double TextWidth(const std::string& text) const = 0;
    virtual double TextHeight(const std::string& text) const = 0;
    virtual std::string Title() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Loads a picture (BMP, GIF, JPEG, PNG) painted unscaled at the top-left,
    // decoded as PlanPicture plans it for PictureUse::TopLeft. Answers why it
    // is not shown (None when it is); the old picture then stays. A path that
    // names something other than a regular file (a pipe, a device) is never opened.
    virtual PictureFault LoadPicture(const std::string& path) = 0;
    virtual void ClearPicture() = 0;
    // Closes the window, which ends the program. Asks no question.
    virtual void Close() = 0;
    // Shows a short note over the window's bottom edge for about two seconds,
    // away from the caption and the countdowns; a new note replaces the old one,
    // and an empty text takes the note away at once.
    virtual void ShowHint(const std::string& text) = 0;
    // Asks the time-keeper a yes/no question and waits for the answer; true for yes.
    virtual bool Confirm(const std::string& question) = 0;

    // Called after the client area changed size (also when first shown).
    std::function<void()> onResize;
    // Called for each key of `Key` pressed while the window has the focus;
    // answers whether the key pressed a button of the bar. A key that pressed
    // nothing is left to the focused control, so the keyboard still works it.
    std::function<bool(Key)> onKey;
    // Called when the time-keeper closes the window (title bar, Alt+F4);
    // answers whether it may close. Not called when the program is told to
    // end (a signal, logging off), nor by Close().
    std::function<bool()> onCloseRequest;
};

// A periodic timer. Ticks arrive on the window's thread while enabled, on an
// absolute schedule: tick n falls due at the start plus n intervals, however
// late the ticks before it came. Ticks that fell due while the program was
// held up (a frozen laptop) come as one tick, not as a burst: whoever
// counts time reads its own clock to learn how much passed.
class Timer {
public:
    virtual ~Timer() = default;
    virtual bool Enabled() const = 0;
    // Enabling a timer that already runs keeps its rhythm.
    virtual void SetEnabled(bool enabled) = 0;
    // Enables the timer, or plans it afresh if it runs, with its first tick
    // due `firstMilliseconds` from now (0 or less: at once) and each later
    // tick one interval after the one before.
    virtual void Arm(int firstMilliseconds) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;

    std::function<void()> onTick;
};

// A moment of the local wall clock, to the second.
struct LocalTime {
    int year = 2000;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59

    bool operator==(const LocalTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    // A clock that only goes forward, unmoved by changes of the wall clock,
    // for measuring spans (a double key press, overtime, the debate record).
    virtual std::int64_t SteadyMilliseconds() const = 0;
};

// Opens a document or web address in the desktop's default program.
class Browser {
public:
    virtual ~Browser() = default;
    // False when it could not be handed over: no program for it, or the
    // launcher failed. True says only that it was handed over.
    virtual bool Open(const std::string& target) = 0;
};

// Keeps the display from sleeping or blanking while a countdown runs.
class DisplaySleep {
public:
    virtual ~DisplaySleep() = default;
    virtual void SetInhibited(bool inhibited) = 0;
};

// Whether a message box waits to be read.
enum class Modality {
    // While the window runs: a box that does not wait. A modal box opened
    // inside a countdown's tick would run the event loop within the tick and
    // let further ticks and clicks into the half-done handler.
    NonBlocking,
    // Before the window is shown and after it has closed, when no event loop
    // would keep a box on the screen: the box waits for the time-keeper.
    Blocking,
};

// Shows an error that reached the window's edge to the time-keeper.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Show(const std::string& message) = 0;
};

}  // namespace platform
