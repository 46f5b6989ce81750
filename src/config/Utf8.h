// The few UTF-8 operations the store needs on its own, without a library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace config {

// Length of the well-formed UTF-8 sequence starting at `at` (1 to 4) with its
// code point in `out`, or 0 when the bytes there are not well-formed.
std::size_t DecodeUtf8At(std::string_view text, std::size_t at, char32_t& out);

void AppendUtf8(std::string& out, char32_t c);

bool IsValidUtf8(std::string_view text);

}  // namespace config
