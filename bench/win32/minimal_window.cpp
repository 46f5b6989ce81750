// The start-up baseline: a bare Win32 window with the timer's controls (five
// labels, the clock and twenty bar buttons) in the same fonts, and nothing
// else: no configuration, no logic, no timers.
#include <windows.h>
#include <commctrl.h>

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MinimalWindow";
    ::RegisterClassExW(&windowClass);
    const HWND window = ::CreateWindowExW(0, L"MinimalWindow", L"最小窗口 - 主页", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                          CW_USEDEFAULT, 1000, 740, nullptr, nullptr, instance, nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT small = ::CreateFontIndirectW(&metrics.lfMessageFont);
    const HFONT large = ::CreateFontW(-96, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                      CLEARTYPE_QUALITY, 0, L"黑体");
    for (int i = 0; i < 5; ++i) {
        const HWND label = ::CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", i == 0 ? L"主页" : L"", WS_CHILD | WS_VISIBLE,
                                             32, 32 + i * 100, 400, 96, window, nullptr, instance, nullptr);
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(large), FALSE);
    }
    for (int i = 0; i <= 20; ++i) {
        const HWND button = ::CreateWindowExW(0, L"BUTTON", i == 20 ? L"00:00:00" : L"反方一辩发言",
                                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, i * 45, 670, 44, 30,
                                              window, nullptr, instance, nullptr);
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(small), FALSE);
    }
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::DeleteObject(small);
    ::DeleteObject(large);
    return 0;
}
