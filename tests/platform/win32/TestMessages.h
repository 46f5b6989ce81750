// Running a real Win32 window's messages from a test, and reading what its controls show.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/Wide.h"

namespace testwin {

// Runs the thread's messages until `done` holds or `milliseconds` pass; whether it holds.
inline bool RunUntil(const std::function<bool()>& done, int milliseconds = 15'000) {
    MSG message{};
    for (const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
         !done() && ::GetTickCount64() < end; ::Sleep(1))
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::TranslateMessage(&message), ::DispatchMessageW(&message);
    return done();
}

inline void Pump(int milliseconds = 30) { RunUntil([] { return false; }, milliseconds); }

// A key pressed and released in `window`, and what it set off.
inline void Press(HWND window, WPARAM key) {
    ::SendMessageW(window, WM_KEYDOWN, key, 1);
    ::SendMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    Pump();
}

inline std::string TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return platform::ToUtf8(text);
}

}  // namespace testwin
