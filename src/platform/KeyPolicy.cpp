#include "platform/KeyPolicy.h"

namespace platform {

std::optional<Key> LogicKeyOf(const KeyStroke& stroke) {
    if (stroke.modified) return std::nullopt;
    switch (stroke.name) {
        case KeyName::Space: return Key::Space;
        case KeyName::Enter: return Key::Enter;
        case KeyName::Left: return Key::Left;
        case KeyName::Right: return Key::Right;
        case KeyName::R: return Key::R;
        case KeyName::Backspace: return Key::Backspace;
        case KeyName::PageUp: return Key::PageUp;
        case KeyName::PageDown: return Key::PageDown;
        default: return std::nullopt;
    }
}

namespace {
void Call(const std::function<void()>& hook) {
    if (hook) hook();
}
}  // namespace

bool MainWindowKeys::Route(const KeyStroke& stroke, const KeySituation& situation, const KeyHooks& hooks) {
    // Each view key acts once per press; its repeats and release are taken without acting again.
    const bool once = stroke.press && !stroke.repeat;
    switch (stroke.name) {
        case KeyName::F5:
            if (once) Call(hooks.toggleAudience);
            return true;
        case KeyName::F2:
            if (once) Call(hooks.summary);
            return true;
        case KeyName::F11:
            if (once) Call(hooks.toggleFullScreen);
            return true;
        case KeyName::Escape:
            // Esc ends the show first, as in presentation software; a second Esc leaves full screen.
            if (situation.audienceOpen) {
                if (stroke.press) Call(hooks.closeAudience);
                return true;
            }
            if (situation.fullScreen) {
                if (stroke.press) Call(hooks.leaveFullScreen);
                return true;
            }
            return false;
        default: break;
    }
    const std::optional<Key> key = LogicKeyOf(stroke);
    if (!key) return false;
    if (once) {
        // A held key would otherwise toggle pause and continue several times
        // a second; a key that pressed nothing on this page goes to the
        // focused button. Space presses it by itself on both toolkits; Enter
        // is pressed here, so Tab, then Space or Enter, work every bar.
        const bool pressed = (hooks.logic && hooks.logic(*key)) ||
                             (*key == Key::Enter && hooks.pressFocused && hooks.pressFocused());
        if (!pressed) return false;
        taken_.insert(*key);
        return true;
    }
    const bool taken = taken_.contains(*key);
    if (!stroke.press && !stroke.repeat) taken_.erase(*key);
    return taken;
}

AudienceKeyEffect AudienceViewKey(const KeyStroke& stroke) {
    switch (stroke.name) {
        case KeyName::F5:
        case KeyName::Escape: return stroke.press && !stroke.repeat ? AudienceKeyEffect::Close : AudienceKeyEffect::Ignore;
        case KeyName::F11: return AudienceKeyEffect::Ignore;
        default: return AudienceKeyEffect::Forward;
    }
}

}  // namespace platform
