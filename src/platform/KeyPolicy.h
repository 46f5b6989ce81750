// Which key does what, decided once for both editions. A front end turns each
// native key event into a KeyStroke, asks the policy, and carries out what it
// is told through the window's hooks: the logic's key handler, the summary,
// full screen, the audience view. It decides nothing itself.
#pragma once

#include <functional>
#include <optional>
#include <set>

#include "platform/Window.h"

namespace platform {

// The keys the program acts on; every other key is Other.
enum class KeyName { Space, Enter, Left, Right, R, Backspace, PageUp, PageDown, F2, F5, F11, Escape, Other };

// One native key event, neutral.
struct KeyStroke {
    KeyName name = KeyName::Other;
    bool press = true;      // false: the key's release
    bool repeat = false;    // an event the keyboard repeats while the key is held
    bool modified = false;  // Ctrl, Alt or Meta held: a shortcut of the system's, not the time-keeper's key
};

// What the window can be asked to do; hooks left empty do nothing.
struct KeyHooks {
    // The logic's key: answers whether it pressed a button (Window::onKey).
    std::function<bool(Key)> logic;
    std::function<void()> summary;
    std::function<void()> toggleFullScreen;
    std::function<void()> leaveFullScreen;
    std::function<void()> toggleAudience;
    std::function<void()> closeAudience;
    // Clicks the button that has the focus: answers whether there was one.
    std::function<bool()> pressFocused;
};

// How the window is shown when the key comes.
struct KeySituation {
    bool fullScreen = false;
    bool audienceOpen = false;
};

// The logic's key for a stroke, if it is one of the time-keeper's keys.
std::optional<Key> LogicKeyOf(const KeyStroke& stroke);

// The main window's keys. One per window: it remembers the keys it took.
class MainWindowKeys final {
public:
    // Acts on the stroke through `hooks`; answers whether the window took it
    // (false: it goes on to the focused control, or to the system).
    bool Route(const KeyStroke& stroke, const KeySituation& situation, const KeyHooks& hooks);

private:
    // Logic keys whose press pressed a button: their repeats and release are
    // taken too, or a button would count the release of Space as a click.
    std::set<Key> taken_;
};

// What the audience view does with a key while it has the keyboard (open on
// the main window's screen): Close at a press of F5 or Esc, Ignore their
// repeats and releases and F11 (it is full screen already), Forward the rest,
// which the main window handles as if typed into it.
enum class AudienceKeyEffect { Close, Ignore, Forward };
AudienceKeyEffect AudienceViewKey(const KeyStroke& stroke);

}  // namespace platform
