// A GIF of one colour at any size up to 8192 a side, in a few tens of
// kilobytes: real LZW (runs of growing length, then the longest the table
// holds), so a decoder meets every code size and a full table on the way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace testsupport {

// LZW codes of the minimum size 2 as a decoder reads them, in data
// sub-blocks: every code after the first grows the decoder's table and, with
// it, the size of the codes that follow.
class LzwCodes {
public:
    LzwCodes() { Emit(4); }  // clear
    void Code(int code) {
        Emit(code);
        if (codes_++ > 0 && next_ < 4096 && ++next_ == (1 << size_) && size_ < 12) ++size_;
    }
    bool TableFull() const { return next_ >= 4096; }
    // The end code, then the codes in sub-blocks and the empty one that closes them.
    std::string End() {
        Emit(5);
        if (count_ > 0) data_ += static_cast<char>(bits_ & 0xFF);
        std::string blocks;
        for (std::size_t at = 0; at < data_.size(); at += 255) {
            const std::string block = data_.substr(at, 255);
            blocks += static_cast<char>(block.size()) + block;
        }
        return blocks + '\0';
    }

private:
    void Emit(int code) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        for (count_ += size_; count_ >= 8; count_ -= 8, bits_ >>= 8) data_ += static_cast<char>(bits_ & 0xFF);
    }
    std::string data_;
    std::uint32_t bits_ = 0;
    int count_ = 0, size_ = 3, next_ = 6, codes_ = 0;
};

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
    LzwCodes codes;
    // A run of length n is the literal 1 for n = 1, and code n + 4 after it.
    for (std::int64_t left = std::int64_t{width} * height, run = 1; left > 0; ++run) {
        const std::int64_t length = std::min<std::int64_t>(codes.TableFull() ? 4091 : run, left);
        codes.Code(length == 1 ? 1 : static_cast<int>(length) + 4);
        left -= length;
    }
    return out + codes.End() + ';';
}

}  // namespace testsupport
