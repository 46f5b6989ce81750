// The summary of the debate so far (F2) on Windows: one row per stage run in a
// list view, overtime in red, "复制" for tab-separated text on the clipboard and
// "保存" for a CSV file chosen in a save dialog that opens in the record folder.
// A window of its own beside the timer's, which it never holds up: the file is
// written on a thread of its own.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/DebateRecord.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "platform/win32/Win32Window.h"
#include "record/SummaryText.h"

namespace platform {

class Win32SummaryWindow final {
public:
    using EventSource = std::function<std::vector<DebateEvent>()>;
    // Asks where to save, offering `name` in `folder`; nullopt when cancelled.
    using SavePathQuestion =
        std::function<std::optional<std::string>(HWND owner, const std::string& folder, const std::string& name)>;

    // `events` gives the debate's events so far; `folder` is where the save
    // dialog opens (the record folder, or the program's when recording is off).
    Win32SummaryWindow(Win32Window& owner, EventSource events, std::string folder, FileSystem& files,
                       ErrorSink& errors);
    ~Win32SummaryWindow();
    Win32SummaryWindow(const Win32SummaryWindow&) = delete;
    Win32SummaryWindow& operator=(const Win32SummaryWindow&) = delete;

    // Computes the summary afresh and shows the window in front.
    void ShowSummary();
    void Hide();
    // The program's message loop hands each message here first: F2 brings the
    // summary up to date, and Tab, Enter and Esc work as in a dialog. True when taken.
    bool RouteMessage(MSG& message);
    // Waits for a save under way to end, so the program's own save at its
    // close never runs beside it.
    void FinishSave();

    // The save dialog; tests put an answer in its place.
    SavePathQuestion askSavePath;
    // A save has ended, written or not.
    std::function<void(bool written)> onSaveFinished;

    // For the tests.
    HWND Handle() const { return hwnd_; }
    HWND Table() const { return table_; }
    HWND Span() const { return span_; }
    HWND CopyButton() const { return copy_; }
    HWND SaveButton() const { return save_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
    void MakeFont();
    void Layout();
    void PlaceOverOwner();
    void Refresh();
    void FitColumns(const record::SummaryTable& table) const;
    void Copy();
    void Save();
    void SaveEnded();

    Win32Window& owner_;
    EventSource events_;
    std::string folder_;
    FileSystem& files_;
    ErrorSink& errors_;
    HWND hwnd_ = nullptr;
    HWND span_ = nullptr;
    HWND table_ = nullptr;
    HWND copy_ = nullptr;
    HWND save_ = nullptr;
    HWND close_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<bool> overtime_;  // per row: its overtime is above zero
    std::size_t overtimeColumn_ = 0;

    std::thread saving_;
    std::mutex mutex_;
    std::string savingTo_;
    std::string saveFailure_;  // empty when the file was written
};

}  // namespace platform
