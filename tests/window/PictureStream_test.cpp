// GIF and BMP read a row at a time to the size a plan asks: the pixels come
// out as a whole decode would give them, whatever the row order, and a file
// cut short, damaged or compressed is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/PictureStream.h"
#include "support/OneColourGif.h"
#include "support/StringSource.h"

using namespace std::string_literals;

namespace {

using platform::PictureFault;
using platform::PicturePlan;
using platform::PictureSize;

// The whole picture at its own size, or at `size` for the whole.
platform::StreamedPicture Stream(const std::string& file, PictureSize size = {}) {
    testsupport::StringSource source(file);
    return platform::StreamPicture(source, [&](PictureSize declared) {
        return platform::PlanPicture(declared, {true, true}, platform::PictureUse::Cover,
                                     size.IsEmpty() ? declared : size);
    });
}

// Four colours in 4 x 4 blocks: the colour of pixel (x, y).
constexpr std::uint32_t kColours[4] = {0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
int Block(int x, int y) { return (x / 4 + y / 4) % 4; }

void Le16(std::string& out, int value) { out += static_cast<char>(value & 0xFF), out += static_cast<char>(value >> 8); }
void Le32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A GIF of the blocks, LZW codes all literals (so any decoder's table grows
// as the stream goes, up to its full size on a large picture).
std::string Gif(int width, int height, bool interlaced, int transparent = -1) {
    std::string out = "GIF89a";
    Le16(out, width), Le16(out, height);
    out += "\x81\x00\x00"s;  // a global table of 4 colours
    for (const std::uint32_t colour : kColours) {
        out += static_cast<char>(colour >> 16), out += static_cast<char>(colour >> 8), out += static_cast<char>(colour);
    }
    if (transparent >= 0) out += "\x21\xF9\x04\x01\x00\x00"s + static_cast<char>(transparent) + '\0';
    out += '\x2C';
    Le16(out, 0), Le16(out, 0), Le16(out, width), Le16(out, height);
    out += static_cast<char>(interlaced ? 0x40 : 0);
    out += '\x02';
    std::vector<int> rows;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < height && interlaced; y += step) rows.push_back(y);
    }
    for (int y = 0; y < height && !interlaced; ++y) rows.push_back(y);
    testsupport::LzwCodes codes;
    for (const int y : rows) {
        for (int x = 0; x < width; ++x) codes.Code(Block(x, y));
    }
    return out + codes.End() + ';';
}

// A BMP of the blocks: 24 bits bottom-up, or 8 bits with a palette top-down.
std::string Bmp(int width, int height, int bits, std::uint32_t compression = 0) {
    const int stride = (width * bits + 31) / 32 * 4;
    const int palette = bits == 8 ? 4 * 256 : 0;
    std::string out = "BM";
    Le32(out, static_cast<std::uint32_t>(54 + palette + stride * height));
    Le32(out, 0), Le32(out, static_cast<std::uint32_t>(54 + palette)), Le32(out, 40);
    Le32(out, static_cast<std::uint32_t>(width));
    Le32(out, static_cast<std::uint32_t>(bits == 8 ? -height : height));
    Le16(out, 1), Le16(out, bits), Le32(out, compression);
    for (int i = 0; i < 5; ++i) Le32(out, 0);
    for (int i = 0; i < palette / 4; ++i) Le32(out, i < 4 ? kColours[i] & 0xFFFFFF : 0);
    for (int row = 0; row < height; ++row) {
        const int y = bits == 8 ? row : height - 1 - row;
        std::string line;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = kColours[Block(x, y)];
            if (bits == 8) line += static_cast<char>(Block(x, y));
            else line += {static_cast<char>(colour), static_cast<char>(colour >> 8), static_cast<char>(colour >> 16)};
        }
        out += line + std::string(static_cast<std::size_t>(stride) - line.size(), '\0');
    }
    return out;
}

void ExpectBlocks(const platform::StreamedPicture& picture, int scale, const std::string& what) {
    ASSERT_EQ(picture.fault, PictureFault::None) << what;
    for (int y = 0; y < picture.size.height; ++y) {
        for (int x = 0; x < picture.size.width; ++x) {
            ASSERT_EQ(picture.pixels[static_cast<std::size_t>(y * picture.size.width + x)],
                      kColours[Block(x * scale, y * scale)])
                << what << " at " << x << "," << y;
        }
    }
}

TEST(PictureStream, EveryLayoutGivesThePixelsOfAWholeDecode) {
    for (const bool interlaced : {false, true}) {
        ExpectBlocks(Stream(Gif(40, 37, interlaced)), 1, interlaced ? "interlaced GIF" : "GIF");
    }
    ExpectBlocks(Stream(Bmp(40, 37, 24)), 1, "24-bit BMP, bottom-up");
    ExpectBlocks(Stream(Bmp(40, 37, 8)), 1, "8-bit BMP, top-down");
    // Long enough for the code table to fill and stop growing.
    ExpectBlocks(Stream(Gif(300, 40, false)), 1, "GIF past 4096 codes");
}

TEST(PictureStream, ShrinksToThePlansSizeAveragingTheColumns) {
    // Each 4 x 4 block becomes one pixel of its own colour.
    const platform::StreamedPicture gif = Stream(Gif(64, 64, true), {16, 16});
    ASSERT_EQ(gif.size, (PictureSize{16, 16}));
    ExpectBlocks(gif, 4, "GIF at a quarter");
    ExpectBlocks(Stream(Bmp(64, 64, 24), {16, 16}), 4, "BMP at a quarter");
    // Columns of different colours average: the middle row (4) is half red, half green.
    const platform::StreamedPicture halves = Stream(Bmp(8, 8, 24), {1, 1});
    ASSERT_EQ(halves.size, (PictureSize{1, 1}));
    EXPECT_EQ(halves.pixels[0], 0xFF7F7F00u);
}

// The largest picture read, at a screenful: what Qt and Windows would decode whole into 256 MB.
TEST(PictureStream, TheLargestGifComesOutAtTheSizeAsked) {
    const platform::StreamedPicture picture = Stream(testsupport::OneColourGif(8192, 8192, 0x3366CC), {16, 16});
    ASSERT_EQ(picture.fault, PictureFault::None);
    ASSERT_EQ(picture.size, (PictureSize{16, 16}));
    EXPECT_EQ(picture.pixels, std::vector<std::uint32_t>(256, 0xFF3366CCu));
}

TEST(PictureStream, TransparentIndexIsLeftClear) {
    const platform::StreamedPicture picture = Stream(Gif(8, 8, false, 1));
    ASSERT_EQ(picture.fault, PictureFault::None);
    EXPECT_EQ(picture.pixels[4], 0u);                 // block 1 (red) is the transparent one
    EXPECT_EQ(picture.pixels[0], kColours[0]);
}

TEST(PictureStream, RefusesWhatItCannotShowWhole) {
    const std::string gif = Gif(40, 37, false);
    const std::string bmp = Bmp(40, 37, 24);
    EXPECT_EQ(Stream(gif.substr(0, gif.size() - 20)).fault, PictureFault::Unreadable);
    EXPECT_EQ(Stream(bmp.substr(0, bmp.size() - 1)).fault, PictureFault::Unreadable);
    EXPECT_EQ(Stream(Bmp(40, 37, 8, 1)).fault, PictureFault::OverBudget);  // RLE: decoded whole only
    std::string wide = gif;
    wide[6] = '\x01', wide[7] = '\x21';  // 8449 wide
    EXPECT_EQ(Stream(wide).fault, PictureFault::TooLarge);
    std::string damaged = gif;
    damaged[gif.find('\x2C') + 12] = '\xFF';  // a code the table does not hold yet
    EXPECT_EQ(Stream(damaged).fault, PictureFault::Unreadable);
    EXPECT_EQ(Stream("GIF89a").fault, PictureFault::Unreadable);
    std::string control = Gif(8, 8, false, 1);
    control[control.find("\x21\xF9"s) + 2] = '\x03';  // a graphic control of 3 bytes, not 4
    EXPECT_EQ(Stream(control).fault, PictureFault::Unreadable);
    // A frame of 65535 x 65535 on a small screen: refused before its 4 billion pixels are decoded.
    std::string vast = gif;
    const std::size_t frame = gif.find('\x2C') + 5;
    vast.replace(frame, 4, "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(Stream(vast).fault, PictureFault::Unreadable);
    EXPECT_EQ(Stream("\x89PNG\r\n\x1a\n").fault, PictureFault::Unreadable);
}

}  // namespace
