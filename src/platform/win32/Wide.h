// Conversions at the edge between the logic's UTF-8 text and the UTF-16 that
// every Windows call of this program takes (no ANSI call, no narrow path).
#pragma once

#include <string>

namespace platform {

// UTF-8 to UTF-16; a broken byte becomes U+FFFD rather than failing a caption.
std::wstring ToWide(const std::string& text);
std::string ToUtf8(const std::wstring& text);

// A path as Windows takes it: "/" read as "\", so a configuration written
// with either separator names the same file.
std::wstring NativePath(const std::string& path);

// The path as the logic and the messages show it: "\" written as "/", the
// separator the store joins paths with.
std::string PortablePath(const std::wstring& path);

}  // namespace platform
