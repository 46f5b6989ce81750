// The Windows program: the native Win32 window and controls, files in UTF-16
// paths with GBK text through code page 936, and WAV cues, joined to the
// window's logic.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>

#include "app/win32/FormWiring.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/Sound.h"

namespace {

int Run() {
    platform::Win32FileSystem files;
    // Decided before anything is loaded: a second copy on this folder brings
    // the running one to the front and ends at once, touching no file.
    platform::Win32SingleInstance instance(files.ExecutableFolder());
    if (!instance.Acquire()) return 0;

    const platform::GbkCodec codec;
    platform::Win32Form form(files.ExecutableFolder());
    instance.onActivate = [&form] { form.window.BringToFront(); };
    platform::Win32CueQueue sound(files.ExecutableFolder());
    platform::NoAudienceView audience;
    platform::NoRecorder recorder;
    frmMain window(WireForm(form, sound, form.browser, form.displaySleep, files, codec, audience, recorder));

    try {
        window.Form_Load();
    } catch (const std::exception& error) {
        // No tick may reach a window whose start-up failed while its message waits.
        form.StopTimers();
        platform::Win32ErrorSink::ShowFatal(std::string("计时器无法启动：") + error.what());
        return 1;
    }

    // Once the window has closed the configuration is saved, once, with a
    // failure told in a box that waits: no message loop runs any more.
    bool saved = false;
    bool saveFailed = false;
    const auto save = [&] {
        if (saved) return;
        saved = true;
        form.StopTimers();
        sound.StopAll();
        form.errors.SetModality(platform::Modality::Blocking);
        const int shownBefore = form.errors.MessagesShown();
        window.Form_Unload();
        saveFailed = form.errors.MessagesShown() != shownBefore;
    };
    // The title bar, Alt+F4, taskkill without /F and "退出" close alike.
    form.window.onClose = [&form] {
        ::ShowWindow(form.window.Handle(), SW_HIDE);
        ::PostQuitMessage(0);
    };
    // Log-off or shut-down: saved before Windows ends the process, without asking.
    form.window.onEndSession = save;

    form.window.Show();
    const int status = form.RunMessageLoop();
    save();
    // A configuration that could not be saved is a failed run, for whoever started it.
    return saveFailed ? 1 : status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    // Pictures are decoded by the Windows Imaging Component, a COM service.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    int status = 1;
    try {
        status = Run();
    } catch (const std::exception& error) {
        platform::Win32ErrorSink::ShowFatal(std::string("计时器无法启动：") + error.what());
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return status;
}
