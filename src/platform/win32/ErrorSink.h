// Shows the time-keeper what went wrong, in Chinese with "确定". Every
// message also goes to standard error, where a log of the session keeps it.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "platform/Window.h"
#include "platform/win32/Win32Window.h"

namespace platform {

class Win32ErrorSink final : public ErrorSink {
public:
    explicit Win32ErrorSink(Win32Window& window);
    ~Win32ErrorSink() override;
    Win32ErrorSink(const Win32ErrorSink&) = delete;
    Win32ErrorSink& operator=(const Win32ErrorSink&) = delete;

    void Show(const std::string& message) override;
    void SetModality(Modality modality) { modality_ = modality; }
    // Boxes still open, for the tests; and their texts.
    int OpenBoxes() const;
    // Every message told so far, shown in a box or not.
    int MessagesShown() const { return messagesShown_; }
    // Gives a message for one of the open boxes (Enter, Esc, Tab) to it; true when it took it.
    bool RouteDialogMessage(MSG& message);

    // For an error that ends start-up: on standard error, then in a box that waits.
    static void ShowFatal(const std::string& message);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OpenBox(const std::string& message);
    // Boxes that waited for the window to be shown, shown now.
    void ShowWaiting();
    void Present(HWND box);

    Win32Window& window_;
    Modality modality_ = Modality::NonBlocking;
    int messagesShown_ = 0;
    // One box per text: a fault met on every tick raises its box, not a new one.
    std::map<std::string, HWND> open_;
};

}  // namespace platform
