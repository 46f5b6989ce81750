// The window's close-down, the same on every front end: once the window has
// closed (or the session ends), silence, the hall's view gone, every message
// in a box that waits, a summary being saved finished, messages told from
// other threads shown, then the configuration saved, once.
#pragma once

#include <functional>
#include <utility>

#include "platform/Window.h"
#include "window/frmMain.h"

template <class Form, class Sound, class View, class Summary>
class CloseDown final {
public:
    // `showWaiting` shows what other threads (the record's writer) told and
    // is still waiting for the window's thread.
    CloseDown(frmMain& window, Form& form, Sound& sound, View& audience, Summary& summary,
              std::function<void()> showWaiting)
        : window_(window), form_(form), sound_(sound), audience_(audience), summary_(summary),
          showWaiting_(std::move(showWaiting)) {}

    void Save() {
        if (saved_) return;
        saved_ = true;
        // Silence first: a cue still sounding (a long file is cut only at its
        // tenth second) must neither outlast the window nor hold up the end below.
        sound_.StopAll();
        // The hall's view goes with the window: a frozen frame must not stay
        // up, nor cover the message about the save on a single screen.
        audience_.Close();
        // No tick reaches the closing window, and no message loop runs any
        // more: whatever is told below waits in a box to be read.
        form_.StopTimers();
        form_.errors.SetModality(platform::Modality::Blocking);
        // A summary being saved is finished first, its failure told: the two
        // saves never run side by side. A record failure told as the loop
        // ended is still shown.
        summary_.FinishSave();
        if (showWaiting_) showWaiting_();
        const int shownBefore = form_.errors.MessagesShown();
        window_.Form_Unload();
        failed_ = form_.errors.MessagesShown() != shownBefore;
    }
    // A configuration that could not be saved is a failed run, for whoever started it.
    bool Failed() const { return failed_; }

private:
    frmMain& window_;
    Form& form_;
    Sound& sound_;
    View& audience_;
    Summary& summary_;
    std::function<void()> showWaiting_;
    bool saved_ = false;
    bool failed_ = false;
};
