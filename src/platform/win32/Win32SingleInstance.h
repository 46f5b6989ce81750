// One copy per folder on Windows: a named mutex in the session's namespace,
// named after the folder's final path, which Windows drops with the last
// process holding it, crash or kill included, and which needs no write access
// anywhere. Beside it a message-only window of the same name lets a later
// copy ask this one to come to the front.
#pragma once

#include <windows.h>

#include <string>

#include "platform/SingleInstance.h"

namespace platform {

class Win32SingleInstance final : public SingleInstance {
public:
    explicit Win32SingleInstance(const std::string& folder);
    ~Win32SingleInstance() override;
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

    bool Acquire() override;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void AskToComeToFront() const;

    std::wstring name_;
    HANDLE mutex_ = nullptr;
    HWND listener_ = nullptr;
};

// The lock's name for a folder: the same for every path that leads to it
// (letter case, "..", a junction), 32 hexadecimal digits.
std::wstring SingleInstanceName(const std::string& folder);

}  // namespace platform
