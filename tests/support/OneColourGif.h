// A GIF of one colour at any size up to 8192 a side, in a few tens of
// kilobytes: real LZW (runs of growing length, then the longest the table
// holds), so a decoder meets every code size and a full table on the way.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

inline std::string OneColourGif(int width, int height, std::uint32_t rgb) {
    std::string out = "GIF89a";
    const auto le16 = [&](int value) { out += static_cast<char>(value & 0xFF), out += static_cast<char>(value >> 8); };
    le16(width), le16(height);
    out += std::string("\x80\x00\x00", 3);  // a global table of 2 colours: 0 black, 1 the colour
    out += std::string(3, '\0');
    out += {static_cast<char>(rgb >> 16), static_cast<char>(rgb >> 8), static_cast<char>(rgb)};
    out += '\x2C';
    le16(0), le16(0), le16(width), le16(height);
    out += std::string("\x00\x02", 2);
    std::string data;
    std::uint32_t bits = 0;
    int count = 0, codeSize = 3, next = 6;
    const auto put = [&](int code) {
        bits |= static_cast<std::uint32_t>(code) << count;
        for (count += codeSize; count >= 8; count -= 8, bits >>= 8) data += static_cast<char>(bits & 0xFF);
    };
    put(4);  // clear
    // A run of length n is the literal 1 for n = 1, and code n + 4 after it.
    std::int64_t left = std::int64_t{width} * height;
    for (int run = 1; left > 0; ++run) {
        const int longest = next < 4096 ? run : 4091;
        const int length = static_cast<int>(std::min<std::int64_t>(longest, left));
        put(length == 1 ? 1 : length + 4);
        if (run > 1 && next < 4096 && ++next == (1 << codeSize) && codeSize < 12) ++codeSize;
        left -= length;
    }
    put(5);  // end
    if (count > 0) data += static_cast<char>(bits & 0xFF);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        out += static_cast<char>(block.size()) + block;
    }
    return out + '\0' + ';';
}

}  // namespace testsupport
