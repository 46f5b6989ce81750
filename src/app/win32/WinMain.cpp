// The Windows program: the native Win32 window and controls, files in UTF-16
// paths with GBK text through code page 936, and WAV cues, joined to the
// window's logic and the debate record. With `--summary FILE.csv` it prints
// that record's summary instead, without a window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <exception>
#include <mutex>
#include <vector>

#include "app/FormWiring.h"
#include "app/StartWindow.h"
#include "app/win32/SummaryConsole.h"
#include "platform/win32/Win32AudienceView.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/Form.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/RecordFile.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/Sound.h"
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

// Once the window has closed the configuration is saved, once, with every
// message in a box that waits: no message loop runs any more.
class Closing final {
public:
    Closing(frmMain& window, platform::Win32Form& form, platform::Win32CueQueue& sound,
            platform::Win32SummaryWindow& summary, WindowThreadMessages& recordFailures)
        : window_(window), form_(form), sound_(sound), summary_(summary), recordFailures_(recordFailures) {}

    void Save() {
        if (saved_) return;
        saved_ = true;
        form_.StopTimers();
        sound_.StopAll();
        // Before anything below may be told: a box that did not wait would go
        // unread with the window already hidden.
        form_.errors.SetModality(platform::Modality::Blocking);
        // A summary being saved is finished first, its failure told: the two
        // saves never run side by side.
        summary_.FinishSave();
        recordFailures_.ShowWaiting();
        const int shownBefore = form_.errors.MessagesShown();
        window_.Form_Unload();
        failed_ = form_.errors.MessagesShown() != shownBefore;
    }
    // A configuration that could not be saved is a failed run, for whoever started it.
    bool Failed() const { return failed_; }

private:
    frmMain& window_;
    platform::Win32Form& form_;
    platform::Win32CueQueue& sound_;
    platform::Win32SummaryWindow& summary_;
    WindowThreadMessages& recordFailures_;
    bool saved_ = false;
    bool failed_ = false;
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
    WireSummaryKey(form, summary, audience);
    form.messageRoutes.push_back([&summary](MSG& message) { return summary.RouteMessage(message); });

    Closing closing(window, form, sound, summary, recordFailures);
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
    // The hall's view goes with the window: a frozen frame must not stay up,
    // nor cover the message about the save on a single screen.
    audience.Close();
    closing.Save();
    return closing.Failed() ? 1 : status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    // Before any window: the summary needs none, and another copy running does not stop it.
    if (const auto arguments = SummaryCommandLine()) return RunSummary(*arguments);
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
