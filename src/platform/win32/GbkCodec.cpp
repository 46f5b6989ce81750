#include "platform/win32/GbkCodec.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

constexpr UINT kGbk = 936;

bool IsPrivateUse(wchar_t unit) { return unit >= 0xE000 && unit <= 0xF8FF; }

// Whole conversion or nothing: an invalid sequence gives nullopt.
std::optional<std::wstring> Decode(UINT codePage, const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) != length) {
        return std::nullopt;
    }
    return wide;
}

}  // namespace

std::optional<std::string> GbkCodec::GbkToUtf8(const std::string& bytes) const {
    if (bytes.empty()) return std::string();
    const std::optional<std::wstring> wide = Decode(kGbk, bytes);
    if (!wide || std::any_of(wide->begin(), wide->end(), IsPrivateUse)) return std::nullopt;
    const int size = static_cast<int>(wide->size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide->data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide->data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::optional<std::string> GbkCodec::Utf8ToGbk(const std::string& text) const {
    if (text.empty()) return std::string();
    const std::optional<std::wstring> wide = Decode(CP_UTF8, text);
    if (!wide || std::any_of(wide->begin(), wide->end(), IsPrivateUse)) return std::nullopt;
    const int size = static_cast<int>(wide->size());
    // No best fit: a character GBK lacks must not quietly become a look-alike
    // or "?". It sets the flag instead, and the whole conversion is refused.
    BOOL usedDefault = FALSE;
    const int length =
        ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide->data(), size, bytes.data(), length, nullptr,
                          &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
}

}  // namespace platform
