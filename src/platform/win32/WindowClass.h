// The window classes of this program's own windows, each registered once.
#pragma once

#include <windows.h>

namespace platform {

struct WindowClass {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;  // nullptr: the window paints every pixel itself
    bool programIcon = false;     // the stopwatch in the title bar and the taskbar
};

// Registers the class; call it once per class (a function-local static),
// before the first window of that class is created. False when Windows refused.
bool RegisterWindowClass(const WindowClass& wanted);

// The object a window of ours was created for (its creation parameter), kept
// with the window from WM_NCCREATE on; nullptr before that or once let go.
template <class Owner>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace platform
