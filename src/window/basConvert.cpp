#include "window/basConvert.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace basConvert {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

// True when `text` is exactly: digits with an optional fraction (or a fraction
// alone), then an optional exponent. The sign is already taken off.
bool IsPlainDecimal(std::string_view text) {
    std::size_t at = SkipDigits(text, 0);
    std::size_t digits = at;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fractionStart = at + 1;
        at = SkipDigits(text, fractionStart);
        digits += at - fractionStart;
    }
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const std::size_t exponentStart = at;
        at = SkipDigits(text, exponentStart);
        if (at == exponentStart) return false;
    }
    return at == text.size();
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string AtLeastTwo(int value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) text.insert(0, 1, '0');
    return text;
}

// Done by hand rather than with the FPU's rounding mode, which a library could
// have changed; the result must not depend on it. `value` is finite.
double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) return below + 1.0;
    return below;
}

}  // namespace

std::optional<std::int16_t> TryRoundInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (rounded < kInt16Min || rounded > kInt16Max) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

double RoundPosition(double value) {
    if (!std::isfinite(value)) throw OverflowError("窗口排版的位置不是有限的数值，按钮栏或时钟无法排列。");
    return RoundHalfEven(value);
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!IsPlainDecimal(text)) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<bool> ParseTruth(std::string_view text) {
    const std::string_view word = Trim(text);
    if (EqualsIgnoringCase(word, "true")) return true;
    if (EqualsIgnoringCase(word, "false")) return false;
    if (const auto number = ParseNumber(word)) return *number != 0.0;
    return std::nullopt;
}

std::string FormatTime(std::int16_t seconds) {
    // Division truncates toward zero, so the rest keeps the sign of the count.
    const int minutes = seconds / 60;
    const int rest = seconds - minutes * 60;
    return AtLeastTwo(minutes) + ":" + AtLeastTwo(rest);
}

std::string FormatClock(int hour, int minute, int second) {
    return AtLeastTwo(hour) + ":" + AtLeastTwo(minute) + ":" + AtLeastTwo(second);
}

}  // namespace basConvert
