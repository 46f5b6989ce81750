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

}  // namespace platform
