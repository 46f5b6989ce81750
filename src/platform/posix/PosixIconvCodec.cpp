#include "platform/posix/PosixIconvCodec.h"

#include <cerrno>

namespace platform {
namespace {

constexpr const char* kGbk = "CP936";
constexpr const char* kUtf8 = "UTF-8";

iconv_t Open(const char* to, const char* from) {
    const iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw FileError(std::string("本系统缺少 GBK 文字转换（iconv ") + from + " → " + to + "）");
    }
    return cd;
}

// Whole conversion or nothing: an invalid or incomplete sequence, or a
// character the target cannot hold, gives nullopt.
std::optional<std::string> Convert(iconv_t cd, const std::string& in) {
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // Fresh shift state.
    std::string out(in.size() * 2 + 16, '\0');
    char* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    std::size_t produced = 0;
    for (;;) {
        char* target = out.data() + produced;
        std::size_t targetLeft = out.size() - produced;
        const std::size_t result = ::iconv(cd, &source, &sourceLeft, &target, &targetLeft);
        produced = out.size() - targetLeft;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
    }
    out.resize(produced);
    return out;
}

}  // namespace

IconvCodec::IconvCodec() : fromGbk_(Open(kUtf8, kGbk)), toGbk_(nullptr) {
    try {
        toGbk_ = Open(kGbk, kUtf8);
    } catch (...) {
        ::iconv_close(fromGbk_);
        throw;
    }
}

IconvCodec::~IconvCodec() {
    ::iconv_close(fromGbk_);
    ::iconv_close(toGbk_);
}

std::optional<std::string> IconvCodec::GbkToUtf8(const std::string& bytes) const {
    return Convert(fromGbk_, bytes);
}

std::optional<std::string> IconvCodec::Utf8ToGbk(const std::string& text) const {
    return Convert(toGbk_, text);
}

}  // namespace platform
