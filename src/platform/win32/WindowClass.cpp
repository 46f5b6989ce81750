#include "platform/win32/WindowClass.h"

namespace platform {

bool RegisterWindowClass(const WindowClass& wanted) {
    const HINSTANCE program = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = wanted.procedure;
    windowClass.hInstance = program;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = wanted.background;
    windowClass.lpszClassName = wanted.name;
    if (wanted.programIcon) {
        // The program's icon (resource 1), in the title bar's size too, so that
        // one is drawn for its size rather than shrunk from the large one.
        windowClass.hIcon = ::LoadIconW(program, MAKEINTRESOURCEW(1));
        windowClass.hIconSm = static_cast<HICON>(::LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                              ::GetSystemMetrics(SM_CXSMICON),
                                                              ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace platform
