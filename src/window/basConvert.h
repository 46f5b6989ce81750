// Conversions the window applies to its settings and counts: configured text
// to numbers and truth values, real numbers to the window's signed 16-bit
// integers, and seconds to the countdown text.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A computed value that does not fit the window's signed 16-bit integers.
class OverflowError final : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

namespace basConvert {

inline constexpr int kInt16Min = -32768;
inline constexpr int kInt16Max = 32767;

// The nearest whole number, an exact half going to the even neighbour (90.5 -> 90,
// 91.5 -> 92); nullopt outside -32768..32767 or for a value that is not finite,
// for the caller to report as the setting it came from.
std::optional<std::int16_t> TryRoundInt16(double value);

// The nearest whole number, halves to even, for a position on the window:
// not limited to 16 bits, so a window wider than 2184 pixels still lays out.
// Throws OverflowError for a value that is not finite.
double RoundPosition(double value);

// A decimal number as a person writes it in the configuration: optional sign,
// digits with an optional "." fraction, an optional exponent, blanks around it.
// The point is always ".", whatever the desktop's locale, so a file reads the
// same on every machine. nullopt for anything else (empty, "1,5", "&H10",
// "NaN", "inf") and for values beyond the range of a double.
std::optional<double> ParseNumber(std::string_view text);

// "True" or "False" in any letter case, or a number where 0 is off and any
// other number on; nullopt for anything else ("yes", empty).
std::optional<bool> ParseTruth(std::string_view text);

// Seconds as minutes, ":" and seconds, each of at least two characters; the
// minutes are not limited to two digits and negative counts keep their signs
// (6000 -> "100:00", -65 -> "-1:-5").
std::string FormatTime(std::int16_t seconds);

// Hours, minutes and seconds as "hh:mm:ss".
std::string FormatClock(int hour, int minute, int second);

}  // namespace basConvert
