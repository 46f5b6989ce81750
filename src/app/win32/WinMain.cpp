// The Windows program: the native Win32 window and controls, files in UTF-16
// paths with GBK text through code page 936, and WAV cues, joined to the
// window's logic and the debate record. With `--summary FILE.csv` it prints
// that record's summary instead, and with `/?` its usage, without a window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <exception>
#include <mutex>
#include <vector>

#include "app/CloseDown.h"
#include "app/FormWiring.h"
#include "app/StartWindow.h"
#include "app/win32/SummaryConsole.h"
#include "platform/win32/Win32AudienceView.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Form.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/Win32RecordFile.h"
#include "platform/win32/Win32SingleInstance.h"
#include "platform/win32/Win32CueQueue.h"
#include "platform/win32/SummaryWindow.h"
#include "record/RecordWriter.h"

namespace {

// How long a log-off waits for the record's last events to reach the disk:
// Windows may end the process as soon as the window has answered.
constexpr std::chrono::seconds kEndSessionRecordWait{2};

// Messages told from another thread (the record's writer), shown on the
// window's: a box belongs to the thread whose message loop runs it.
class WindowThreadMessages final {
public:
    WindowThreadMessages(platform::Win32Window& window, platform::ErrorSink& errors)
        : window_(window), errors_(errors), id_(window.RegisterTicks([this](unsigned) { ShowWaiting(); })) {}
    ~WindowThreadMessages() { window_.UnregisterTicks(id_); }
    WindowThreadMessages(const WindowThreadMessages&) = delete;
    WindowThreadMessages& operator=(const WindowThreadMessages&) = delete;

    // Any thread; returns at once.
    void Post(const std::string& message) {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(message);
        }
        window_.PostTick(id_, 0);
    }

    // Shows what waits now: at the close, once boxes wait to be read, a
    // failure posted as the loop ended is still told.
    void ShowWaiting() {
        std::vector<std::string> messages;
        {
            const std::lock_guard lock(mutex_);
            messages.swap(waiting_);
        }
        for (const std::string& message : messages) errors_.Show(message);
    }

private:
    platform::Win32Window& window_;
    platform::ErrorSink& errors_;
    const int id_;
    std::mutex mutex_;
    std::vector<std::string> waiting_;
};

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
    platform::Win32AudienceView audience(form.window, files.ExecutableFolder());
    platform::Win32RecordFiles recordFiles;
    WindowThreadMessages recordFailures(form.window, form.errors);
    record::RecordWriter recorder(recordFiles,
                                  [&recordFailures](const std::string& message) { recordFailures.Post(message); });
    frmMain window(WireForm(form, sound, form.browser, form.displaySleep, files, codec, audience, recorder));
    if (!StartWindow(window, audience, form, files, &platform::Win32ErrorSink::ShowFatal)) return 1;

    platform::Win32SummaryWindow summary(form.window, [&recorder] { return recorder.Events(); },
                                         StartRecording(window, recorder, files.ExecutableFolder()), files, form.errors);
    WireSummaryKey(window, form, summary, audience);
    form.messageRoutes.push_back([&summary](MSG& message) { return summary.RouteMessage(message); });

    CloseDown closing(window, form, sound, audience, summary, [&recordFailures] { recordFailures.ShowWaiting(); });
    // The title bar, Alt+F4, taskkill without /F and "退出" close alike.
    form.window.onClose = [&form, &summary] {
        summary.Hide();
        ::ShowWindow(form.window.Handle(), SW_HIDE);
        ::PostQuitMessage(0);
    };
    // Log-off or shut-down: saved before Windows ends the process, without asking.
    form.window.onEndSession = [&closing, &recorder] {
        closing.Save();
        recorder.WaitUntilWritten(kEndSessionRecordWait);
    };

    form.window.Show();
    const int status = form.RunMessageLoop();
    closing.Save();
    return closing.Failed() ? 1 : status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    // Before any window: the summary and the usage need none, and another copy running does not stop them.
    const CommandLine line = ProgramCommandLine();
    if (line.action != CommandAction::Window) return AnswerCommandLine(line);
    // Pictures are decoded by the Windows Imaging Component, a COM service.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
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
