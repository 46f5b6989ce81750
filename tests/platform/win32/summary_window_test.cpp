// The summary window on real Win32 controls: F2, overtime in red, "复制" to the clipboard, "保存" off the
// window's thread telling a failure and never opening a folder or a device.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/SummaryWindow.h"
#include "platform/win32/TestMessages.h"
#include "platform/win32/Wide.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/FakeControls.h"
#include "support/SummaryEvents.h"
#include "support/TestFolder.h"

namespace {

// A tab in a caption would split the list view's cell.
std::vector<platform::DebateEvent> TwoStages() { return testsupport::TwoStages("正一辩\t攻辩小结"); }

std::string CellOf(HWND table, int row, int column) {
    std::wstring text(256, L'\0');
    ListView_GetItemText(table, row, column, text.data(), static_cast<int>(text.size()));
    return platform::ToUtf8(text.c_str());
}

// The colour a cell's text is drawn in, as the window answers the list view when it paints.
COLORREF DrawnColour(const platform::Win32SummaryWindow& window, int row, int column) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {window.Table(), static_cast<UINT_PTR>(::GetDlgCtrlID(window.Table())), NM_CUSTOMDRAW};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.iSubItem = column;
    ::SendMessageW(window.Handle(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
}

struct SummaryWindow : testing::Test {
    testsupport::TestFolder folder{"记录 文件夹"};
    platform::Win32Window owner{"."};
    testsupport::FakeErrorSink errors;
    platform::Win32FileSystem files{platform::ExecutableLocation{folder.Path(), "Tolvanexa"}};
    platform::Win32SummaryWindow window{owner, [] { return TwoStages(); }, folder.Path(), files, errors};

    // Clicks "保存" answering the dialog with `path`; the save's result, or nullopt when none came.
    std::optional<bool> SaveTo(const std::string& path) {
        std::optional<bool> result;
        window.askSavePath = [path](HWND, const std::string&, const std::string&) { return path; };
        window.onSaveFinished = [&result](bool written) { result = written; };
        ::SendMessageW(window.SaveButton(), BM_CLICK, 0, 0);
        testwin::RunUntil([&result] { return result.has_value(); }, 10'000);
        return result;
    }
};

TEST_F(SummaryWindow, F2OpensItWithOneRowPerStageRunOvertimeInRedAndTheLogicNeverHearsTheKey) {
    owner.onKey = [](platform::Key) { return ADD_FAILURE() << "F2 reached the logic", true; };
    owner.onSummary = [this] { window.ShowSummary(); };
    ::SendMessageW(owner.Handle(), WM_KEYDOWN, VK_F2, 1);
    ::SendMessageW(owner.Handle(), WM_KEYUP, VK_F2, 1 | 0xC0000000L);
    ASSERT_TRUE(::IsWindowVisible(window.Handle()));

    ASSERT_EQ(ListView_GetItemCount(window.Table()), 2);
    EXPECT_EQ(CellOf(window.Table(), 1, 0) + "|" + CellOf(window.Table(), 0, 4), "正一辩 攻辩小结|5");
    EXPECT_EQ(DrawnColour(window, 0, 4), RGB(0xFF, 0, 0));
    EXPECT_NE(DrawnColour(window, 1, 4), RGB(0xFF, 0, 0));
    EXPECT_EQ(testwin::TextOf(window.Span()), "开始：2026-12-07 14:00:00    结束：2026-12-07 14:00:50");
}

TEST_F(SummaryWindow, CopyPutsTheTabSeparatedTableOnTheClipboard) {
    window.ShowSummary();
    ::SendMessageW(window.CopyButton(), BM_CLICK, 0, 0);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const std::wstring text = data != nullptr ? static_cast<const wchar_t*>(::GlobalLock(data)) : L"";
    if (data != nullptr) ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(text, platform::DisplayText(record::AsTabSeparated(record::Summarise(TwoStages()))));
    EXPECT_TRUE(errors.messages.empty());
}

// The dialog starts in the record folder; a cancel writes and tells nothing; a failure names the path and a
// folder or a device is never opened.
TEST_F(SummaryWindow, SaveWritesTheCsvWhereChosenOrTellsWhyNot) {
    std::string offered;
    window.askSavePath = [&](HWND, const std::string& in, const std::string& name) {
        offered = in + "|" + name;
        return std::optional<std::string>();
    };
    ::SendMessageW(window.SaveButton(), BM_CLICK, 0, 0);
    EXPECT_TRUE(offered.starts_with(folder.Path() + "|辩论小结 ") && offered.ends_with(".csv")) << offered;
    folder.Write("只读.csv", "the adjudicators' own");
    ::SetFileAttributesW(platform::NativePath(folder.File("只读.csv")).c_str(), FILE_ATTRIBUTE_READONLY);
    const std::pair<std::string, std::string> cases[] = {{folder.File("小结.csv"), ""}, {folder.Path(), "不是普通文件"},
        {"//./NUL", "不是普通文件"}, {folder.File("无此/x.csv"), folder.File("无此/x.csv")}, {folder.File("只读.csv"), "文件是只读的"}};
    for (const auto& [path, told] : cases) {
        errors.messages.clear();
        EXPECT_EQ(SaveTo(path), told.empty()) << path;
        ASSERT_EQ(errors.messages.size(), told.empty() ? 0u : 1u) << path;
        EXPECT_NE((told.empty() ? told : errors.messages[0]).find(told), std::string::npos) << errors.messages[0];
    }
    EXPECT_EQ(folder.Read("小结.csv"), record::AsCsv(record::Summarise(TwoStages())));
    ::SetFileAttributesW(platform::NativePath(folder.File("只读.csv")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(folder.Read("只读.csv"), "the adjudicators' own");
}

// F2's summary opens over the middle of the timer's window. After "保存" the keyboard is back in it, so Esc still
// closes it, though the dialog, closing, handed the activation to the timer's window (as Wine's does).
TEST_F(SummaryWindow, OpensOverTheTimersWindowAndKeepsTheKeyboardAfterASave) {
    owner.Show();
    window.ShowSummary();
    RECT summary{}, main{};
    ::GetWindowRect(window.Handle(), &summary);
    ::GetWindowRect(owner.Handle(), &main);
    EXPECT_NEAR(summary.left + summary.right, main.left + main.right, 2);
    EXPECT_NEAR(summary.top + summary.bottom, main.top + main.bottom, 2);

    std::optional<bool> result;
    window.onSaveFinished = [&result](bool written) { result = written; };
    window.askSavePath = [this](HWND, const std::string&, const std::string&) {
        ::SetForegroundWindow(owner.Handle());
        return std::optional<std::string>(folder.File("小结.csv"));
    };
    ::SendMessageW(window.SaveButton(), BM_CLICK, 0, 0);
    ASSERT_TRUE(testwin::RunUntil([&result] { return result.has_value(); }, 10'000));
    const auto inSummary = [this] {
        const HWND focus = ::GetFocus();
        return focus != nullptr && (focus == window.Handle() || ::IsChild(window.Handle(), focus));
    };
    EXPECT_TRUE(testwin::RunUntil(inSummary, 5000));
    // Esc where the keyboard is, through the program's message loop, which hands the summary its keys first.
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    testwin::RunUntil([this] {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!window.RouteMessage(message)) ::TranslateMessage(&message), ::DispatchMessageW(&message);
        }
        return !::IsWindowVisible(window.Handle());
    }, 5000);
    EXPECT_FALSE(::IsWindowVisible(window.Handle()));
}

}  // namespace
