#include "app/win32/SummaryConsole.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <sstream>

#include "platform/win32/GbkCodec.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32RecordFile.h"
#include "platform/win32/Wide.h"
#include "record/SummaryCommand.h"

namespace {

constexpr wchar_t kSummaryTitle[] = L"Tolvanexa 辩论小结";
constexpr wchar_t kUsageTitle[] = L"Tolvanexa";
// Names tried for the text file when earlier ones are taken.
constexpr int kMaxNameTries = 100;
// WriteConsoleW and WriteFile take a DWORD count: long text goes in pieces.
constexpr std::size_t kPiece = 1 << 16;

bool IsOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

bool WriteConsoleText(HANDLE console, const std::wstring& text) {
    for (std::size_t done = 0; done < text.size();) {
        DWORD put = 0;
        const auto piece = static_cast<DWORD>(std::min(text.size() - done, kPiece));
        if (!::WriteConsoleW(console, text.data() + done, piece, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// A console takes the text as characters; a file or a pipe takes the same
// UTF-8 bytes as on Linux.
bool WriteTo(HANDLE handle, const std::string& text) {
    if (!IsOpen(handle)) return false;
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) return WriteConsoleText(handle, platform::ToWide(text));
    for (std::size_t done = 0; done < text.size();) {
        DWORD put = 0;
        const auto piece = static_cast<DWORD>(std::min(text.size() - done, kPiece));
        if (!::WriteFile(handle, text.data() + done, piece, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// The console of the command prompt the program was started from, if any.
HANDLE ParentConsole() {
    static const HANDLE console = [] {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return INVALID_HANDLE_VALUE;
        const HANDLE output = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        // The prompt is already back (a windowed program is not waited for):
        // the table starts on a line of its own.
        if (IsOpen(output)) WriteConsoleText(output, L"\n");
        return output;
    }();
    return console;
}

// True when the text reached the redirected stream or the parent's console.
bool Deliver(DWORD stream, const std::string& text) {
    if (text.empty()) return true;
    return WriteTo(::GetStdHandle(stream), text) || WriteTo(ParentConsole(), text);
}

std::string WithoutCsv(const std::string& path) {
    if (path.size() > 4) {
        std::string extension = path.substr(path.size() - 4);
        for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (extension == ".csv") return path.substr(0, path.size() - 4);
    }
    return path;
}

// The whole path, so the file can be found whatever folder the program was started in.
std::string FullPath(const std::string& path) {
    std::wstring full(32768, L'\0');
    full.resize(::GetFullPathNameW(platform::NativePath(path).c_str(), static_cast<DWORD>(full.size()), full.data(),
                                   nullptr));
    return full.empty() ? path : platform::ToUtf8(full);
}

void Tell(const std::string& text, UINT icon, const wchar_t* title = kSummaryTitle) {
    ::MessageBoxW(nullptr, platform::ToWide(text).c_str(), title, MB_OK | icon);
}

// No console and nothing redirected: the time-keeper started the program
// from Explorer or a shortcut, and reads the outcome in a message.
void ShowInstead(const std::vector<std::string>& arguments, int status, const std::string& out,
                 const std::string& err) {
    if (status != 0) {
        Tell(err, MB_ICONERROR);
        return;
    }
    try {
        const std::string written = FullPath(WriteSummaryBeside(arguments.front(), out));
        Tell(err + "辩论小结已写入“" + written + "”。", MB_ICONINFORMATION);
    } catch (const platform::FileError& error) {
        Tell(err + error.what() + "\n\n" + out, MB_ICONWARNING);
    }
}

}  // namespace

CommandLine ProgramCommandLine() {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return {};
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(platform::ToUtf8(wide[i]));
    ::LocalFree(wide);
    return ReadCommandLine(arguments, true);
}

int AnswerCommandLine(const CommandLine& line) {
    std::ostringstream out;
    std::ostringstream err;
    int status = 0;
    if (line.action == CommandAction::Summary) {
        platform::Win32RecordFiles files;
        const platform::GbkCodec codec;
        status = record::RunSummaryCommand(line.arguments, files, codec, out, err);
    } else {
        const platform::Win32FileSystem files;
        std::string configuration = ConfigurationPath(files);
        std::replace(configuration.begin(), configuration.end(), '/', '\\');
        const std::string usage = Usage(files.ExecutableBaseName() + ".exe", configuration, true);
        if (line.action == CommandAction::Help) {
            out << usage;
        } else {
            err << line.wrong << "\n\n" << usage;
            status = kWrongCommandLineStatus;
        }
    }
    const bool printed = Deliver(STD_OUTPUT_HANDLE, out.str());
    const bool told = Deliver(STD_ERROR_HANDLE, err.str());
    if (line.action != CommandAction::Summary) {
        // Started from Explorer or a shortcut: no console shows the usage.
        if (!printed || !told) Tell(out.str() + err.str(), status == 0 ? MB_ICONINFORMATION : MB_ICONERROR, kUsageTitle);
    } else if (!printed) {
        ShowInstead(line.arguments, status, out.str(), err.str());
    } else if (!told) {
        Tell(err.str(), status == 0 ? MB_ICONWARNING : MB_ICONERROR);
    }
    return status;
}

std::string WriteSummaryBeside(const std::string& record, const std::string& table) {
    // With a byte-order mark and CR LF, so every Notepad shows it as it is.
    std::string text = "\xEF\xBB\xBF";
    for (const char c : table) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string base = WithoutCsv(record);
    platform::Win32RecordFiles files;
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string path = base + (attempt == 1 ? "" : " (" + std::to_string(attempt) + ")") + ".txt";
        if (const auto file = files.CreateNew(path)) {
            file->Append(text);
            return path;
        }
    }
    throw platform::FileError("“" + base + ".txt”及其编号的文件都已存在，辩论小结无法写入。");
}
