#include "platform/win32/SummaryWindow.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/win32/MessageFont.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WindowClass.h"
#include "record/Summary.h"
#include "record/SummaryText.h"

namespace platform {
namespace {

constexpr wchar_t kClassName[] = L"TolvanexaSummary";
constexpr wchar_t kTitle[] = L"辩论小结";
constexpr UINT kSaveEndedMessage = WM_APP + 1;
constexpr int kCopyId = 101;
constexpr int kSaveId = 102;
constexpr int kTableId = 103;
// The overtime's cell where there was any.
constexpr COLORREF kOvertimeColour = RGB(0xFF, 0x00, 0x00);
// In pixels at 96 DPI.
constexpr int kWidth = 1120;
constexpr int kHeight = 420;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kCellPadding = 16;  // room beside a cell's text

// A list view cell holds one line.
std::wstring Cell(const std::string& text) {
    std::wstring cell = ToWide(text);
    for (wchar_t& c : cell) {
        if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    }
    return cell;
}

std::string SuggestedName() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return record::SuggestedSummaryName(
        {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

std::optional<std::string> AskSavePath(HWND owner, const std::string& folder, const std::string& name) {
    std::wstring file = ToWide(name);
    file.resize(32768, L'\0');
    const std::wstring initial = NativePath(folder);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"CSV 文件 (*.csv)\0*.csv\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initial.c_str();
    dialog.lpstrTitle = L"保存辩论小结";
    dialog.lpstrDefExt = L"csv";
    // The current folder stays: paths in the configuration are taken from it.
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_NOCHANGEDIR |
                   OFN_DONTADDTORECENT;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    return PortablePath(file.c_str());
}

HWND MakeButton(HWND parent, const wchar_t* text, int id) {
    return ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

Win32SummaryWindow::Win32SummaryWindow(Win32Window& owner, EventSource events, std::string folder, FileSystem& files,
                                       ErrorSink& errors)
    : askSavePath(&AskSavePath), owner_(owner), events_(std::move(events)), folder_(std::move(folder)),
      files_(files), errors_(errors) {
    static const bool registered =
        RegisterWindowClass({kClassName, &Win32SummaryWindow::Procedure,
                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), true});
    (void)registered;
    // Owned by the timer's window: above it, and gone with it.
    hwnd_ = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight,
                              owner_.Handle(), nullptr, ::GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("无法创建辩论小结窗口");
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    span_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, hwnd_,
                              nullptr, instance, nullptr);
    // Its window text is the name a screen reader gives the table.
    table_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"各环节用时",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                               0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTableId)), instance,
                               nullptr);
    ListView_SetExtendedListViewStyle(table_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    copy_ = MakeButton(hwnd_, L"复制", kCopyId);
    save_ = MakeButton(hwnd_, L"保存", kSaveId);
    // Esc closes too: IDCANCEL is what the dialog keys send for it.
    close_ = MakeButton(hwnd_, L"关闭", IDCANCEL);
    MakeFont();
    const UINT dpi = ::GetDpiForWindow(hwnd_);
    RECT frame{0, 0, ::MulDiv(kWidth, static_cast<int>(dpi), 96), ::MulDiv(kHeight, static_cast<int>(dpi), 96)};
    ::AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

Win32SummaryWindow::~Win32SummaryWindow() {
    FinishSave();
    if (hwnd_ != nullptr) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    if (font_ != nullptr) ::DeleteObject(font_);
}

void Win32SummaryWindow::ShowSummary() {
    Refresh();
    if (!::IsWindowVisible(hwnd_)) PlaceOverOwner();
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd_);
    ::SetFocus(table_);
}

// Over the middle of the timer's window, where the time-keeper looks, at its
// design size where the screen's work area holds it, smaller where it does not.
void Win32SummaryWindow::PlaceOverOwner() {
    const UINT dpi = ::GetDpiForWindow(hwnd_);
    RECT frame{0, 0, ::MulDiv(kWidth, static_cast<int>(dpi), 96), ::MulDiv(kHeight, static_cast<int>(dpi), 96)};
    ::AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (!::GetMonitorInfoW(::MonitorFromWindow(owner_.Handle(), MONITOR_DEFAULTTONEAREST), &screen)) return;
    const RECT& work = screen.rcWork;
    const RECT fitted = PlaceWithin({frame.right - frame.left, frame.bottom - frame.top}, work);
    const LONG width = fitted.right - fitted.left;
    const LONG height = fitted.bottom - fitted.top;
    RECT owner{};
    ::GetWindowRect(owner_.Handle(), &owner);
    const LONG left = std::clamp((owner.left + owner.right - width) / 2, work.left, work.right - width);
    const LONG top = std::clamp((owner.top + owner.bottom - height) / 2, work.top, work.bottom - height);
    ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32SummaryWindow::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

bool Win32SummaryWindow::RouteMessage(MSG& message) {
    if (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd)) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F2) {
        Refresh();
        return true;
    }
    return ::IsDialogMessageW(hwnd_, &message) != 0;
}

void Win32SummaryWindow::FinishSave() {
    if (!saving_.joinable()) return;
    saving_.join();
    // The message the writer posted is taken now; a later one finds nothing to do.
    SaveEnded();
}

void Win32SummaryWindow::Refresh() {
    const record::Summary summary = record::Summarise(events_());
    const record::SummaryTable table = record::Tabulate(summary);
    std::string span;
    for (const auto& line : table.lines) span += (span.empty() ? "" : "    ") + line[0] + "：" + line[1];
    ::SetWindowTextW(span_, ToWide(span).c_str());

    ::SendMessageW(table_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(table_);
    while (ListView_DeleteColumn(table_, 0)) {
    }
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        std::wstring name = Cell(table.header[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.fmt = c > 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.pszText = name.data();
        ListView_InsertColumn(table_, static_cast<int>(c), &column);
    }
    overtime_ = table.overtime;
    overtimeColumn_ = table.overtimeColumn;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            std::wstring text = Cell(table.rows[r][c]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            if (c == 0) {
                ListView_InsertItem(table_, &item);
            } else {
                ::SendMessageW(table_, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
            }
        }
    }
    FitColumns(table);
    ::SendMessageW(table_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(table_, nullptr, TRUE);
}

// Each column as wide as its widest cell or its name, measured in the table's
// own font (the list view's automatic width cuts some Chinese names short).
void Win32SummaryWindow::FitColumns(const record::SummaryTable& table) const {
    const int padding = ::MulDiv(kCellPadding, static_cast<int>(::GetDpiForWindow(hwnd_)), 96);
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        int width = ListView_GetStringWidth(table_, Cell(table.header[c]).c_str());
        for (const auto& row : table.rows) width = std::max(width, ListView_GetStringWidth(table_, Cell(row[c]).c_str()));
        ListView_SetColumnWidth(table_, static_cast<int>(c), width + padding);
    }
}

void Win32SummaryWindow::Copy() {
    // Line ends as Windows programs paste them (CR LF).
    const std::wstring text = DisplayText(record::AsTabSeparated(record::Summarise(events_())));
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* locked = memory != nullptr ? ::GlobalLock(memory) : nullptr;
    DWORD error = ::GetLastError();
    if (locked != nullptr) {
        std::memcpy(locked, text.c_str(), bytes);
        ::GlobalUnlock(memory);
        if (::OpenClipboard(hwnd_)) {
            ::EmptyClipboard();
            const bool placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            error = ::GetLastError();
            ::CloseClipboard();
            if (placed) return;  // the clipboard owns the memory now
        } else {
            error = ::GetLastError();
        }
    }
    if (memory != nullptr) ::GlobalFree(memory);
    errors_.Show("无法复制辩论小结：" + DescribeWindowsError(error));
}

void Win32SummaryWindow::Save() {
    if (saving_.joinable()) return;
    const std::optional<std::string> chosen = askSavePath(hwnd_, folder_, SuggestedName());
    // The closed dialog may hand the activation to the timer's window: the
    // keyboard comes back here, so Esc still closes the summary.
    ::SetForegroundWindow(hwnd_);
    ::SetFocus(chosen && !chosen->empty() ? table_ : save_);
    if (!chosen || chosen->empty()) return;
    const std::string path = *chosen;
    // A folder, a pipe or a device is refused before anything is opened.
    const std::optional<FileStatus> status = files_.Status(path);
    if (status && !status->regular) {
        errors_.Show("无法保存辩论小结：“" + path + "”不是普通文件。");
        if (onSaveFinished) onSaveFinished(false);
        return;
    }
    const std::string csv = record::AsCsv(record::Summarise(events_()));
    savingTo_ = path;
    ::EnableWindow(save_, FALSE);
    // Through a temporary file renamed over the target, so a failed save
    // never leaves half a file, and off the window's thread.
    saving_ = std::thread([this, path, csv] {
        std::string failure;
        try {
            const std::string temporary = files_.CreateTemporary(path);
            try {
                files_.WriteAll(temporary, csv);
                files_.Rename(temporary, path);
            } catch (...) {
                files_.Remove(temporary);
                throw;
            }
        } catch (const std::exception& error) {
            failure = error.what();
        }
        {
            const std::lock_guard lock(mutex_);
            saveFailure_ = failure;
        }
        ::PostMessageW(hwnd_, kSaveEndedMessage, 0, 0);
    });
}

void Win32SummaryWindow::SaveEnded() {
    if (savingTo_.empty()) return;
    if (saving_.joinable()) saving_.join();
    std::string failure;
    {
        const std::lock_guard lock(mutex_);
        failure.swap(saveFailure_);
    }
    const std::string path = std::move(savingTo_);
    savingTo_.clear();
    ::EnableWindow(save_, TRUE);
    if (!failure.empty()) errors_.Show("无法保存辩论小结到“" + path + "”：" + failure);
    if (onSaveFinished) onSaveFinished(failure.empty());
}

LRESULT Win32SummaryWindow::CustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const std::size_t row = draw.nmcd.dwItemSpec;
        const bool red = static_cast<std::size_t>(draw.iSubItem) == overtimeColumn_ && row < overtime_.size() &&
                         overtime_[row];
        // Set on every cell: a colour given to one cell stays for the next unless replaced.
        draw.clrText = red ? kOvertimeColour : ::GetSysColor(COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

void Win32SummaryWindow::MakeFont() {
    HFONT font = CreateMessageFont(::GetDpiForWindow(hwnd_));
    if (font == nullptr) return;
    for (const HWND child : {span_, table_, copy_, save_, close_}) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) ::DeleteObject(font_);
    font_ = font;
}

// The span along the top, the table filling the middle, the buttons at the bottom right.
void Win32SummaryWindow::Layout() {
    const int dpi = static_cast<int>(::GetDpiForWindow(hwnd_));
    const auto px = [dpi](int pixels) { return ::MulDiv(pixels, dpi, 96); };
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ previous = ::SelectObject(dc, font_ != nullptr ? font_ : owner_.Font());
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc, &text);
    ::SelectObject(dc, previous);
    ::ReleaseDC(hwnd_, dc);
    const int margin = px(kMargin);
    const int spanHeight = text.tmHeight + px(4);
    const int buttonWidth = px(kButtonWidth);
    const int buttonHeight = px(kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    ::MoveWindow(span_, margin, margin, client.right - 2 * margin, spanHeight, TRUE);
    const int tableTop = margin * 2 + spanHeight;
    ::MoveWindow(table_, margin, tableTop, client.right - 2 * margin, std::max(0, buttonTop - margin - tableTop), TRUE);
    int left = client.right - margin - 3 * buttonWidth - 2 * margin;
    for (const HWND button : {copy_, save_, close_}) {
        ::MoveWindow(button, left, buttonTop, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + margin;
    }
}

LRESULT CALLBACK Win32SummaryWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32SummaryWindow>(hwnd, message, lParam);
    if (self == nullptr || self->hwnd_ == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32SummaryWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kCopyId: Copy(); return 0;
        case kSaveId: Save(); return 0;
        case IDCANCEL: Hide(); return 0;
        default: break;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == table_ && header->code == NM_CUSTOMDRAW) {
            return CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        }
        break;
    }
    case kSaveEndedMessage:
        SaveEnded();
        return 0;
    case WM_CLOSE:
        Hide();
        return 0;
    case WM_DPICHANGED: {
        MakeFont();
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        Layout();
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform
