// The size a picture file declares, read from its first bytes before any
// decoder sees it: what each format gives, where it gives it, and a header cut
// short or damaged told as not known rather than as a size it does not hold.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/PictureHeader.h"
#include "support/OneColourGif.h"
#include "support/StringSource.h"

namespace {

using platform::PictureFormat;
using platform::PictureSize;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (const int byte : bytes) out += static_cast<char>(byte);
    return out;
}
std::string Le(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}
std::string Be(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// The file and info headers of a BMP with an info header of `infoSize` bytes.
std::string Bmp(std::int32_t width, std::int32_t height, std::uint32_t infoSize = 40) {
    std::string out = "BM" + Le(0, 4) + Le(0, 4) + Le(14 + infoSize, 4) + Le(infoSize, 4);
    if (infoSize == 12) return out + Le(width, 2) + Le(height, 2) + Le(1, 2) + Le(24, 2);
    out += Le(static_cast<std::uint32_t>(width), 4) + Le(static_cast<std::uint32_t>(height), 4) + Le(1, 2) + Le(24, 2);
    return out + std::string(infoSize - 16, '\0');
}

std::string Png(std::uint32_t width, std::uint32_t height, int depth, int colourType) {
    return "\x89PNG\r\n\x1A\n" + Be(13, 4) + "IHDR" + Be(width, 4) + Be(height, 4) +
           Bytes({depth, colourType, 0, 0, 0}) + Be(0, 4);
}

// A JFIF segment, a fill byte, a Huffman table and a restart marker before the frame `marker` of `width` x `height`.
std::string Jpeg(int marker, int width, int height) {
    return Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16}) + "JFIF" + std::string(10, '\0') +
           Bytes({0xFF, 0xFF, 0xC4, 0, 4, 0, 0, 0xFF, 0xD0, 0xFF, marker, 0, 17, 8}) + Be(height, 2) + Be(width, 2) +
           Bytes({3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
}
const std::string kSos = Bytes({0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0x3F, 0});

std::string GifScreen(int width, int height, bool table) {
    return "GIF89a" + Le(width, 2) + Le(height, 2) + Bytes({table ? 0x80 : 0, 0, 0}) + (table ? std::string(6, '\0') : "");
}
// A frame's descriptor, its local table of 4 colours if `table`, and data of two sub-blocks.
std::string GifFrame(int left, int top, int width, int height, bool table = false) {
    return "\x2C" + Le(left, 2) + Le(top, 2) + Le(width, 2) + Le(height, 2) + Bytes({table ? 0x81 : 0}) +
           (table ? std::string(12, '\0') : "") + Bytes({2, 3, 1, 2, 3, 1, 4, 0});
}
const std::string kControl = Bytes({0x21, 0xF9, 4, 1, 0, 0, 1, 0});
const std::string kLoop = Bytes({0x21, 0xFF, 11}) + "NETSCAPE2.0" + Bytes({3, 1, 0, 0, 0});

struct HeaderCase {
    const char* name;
    std::string bytes;
    PictureFormat format;
    bool known;
    PictureSize size;
    PictureSize firstFrame = {};
    std::int64_t wholeBytes = 0;
};

class PictureHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(PictureHeader, ReadsWhatTheFileDeclares) {
    testsupport::StringSource source(GetParam().bytes);
    const platform::PictureHeader header = platform::ReadPictureHeader(source);
    EXPECT_EQ(header.format, GetParam().format);
    ASSERT_EQ(header.known, GetParam().known);
    if (!header.known) return;
    EXPECT_EQ(header.size, GetParam().size);
    EXPECT_EQ(header.firstFrame, GetParam().firstFrame);
    EXPECT_EQ(header.wholeBytes, GetParam().wholeBytes);
}

constexpr auto kBmp = PictureFormat::Bmp;
constexpr auto kGif = PictureFormat::Gif;
constexpr auto kJpeg = PictureFormat::Jpeg;
constexpr auto kPng = PictureFormat::Png;

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureHeader,
    testing::Values(
        HeaderCase{"Bmp", Bmp(640, 480), kBmp, true, {640, 480}},
        HeaderCase{"BmpTopDownHasItsHeightUnsigned", Bmp(640, -480), kBmp, true, {640, 480}},
        HeaderCase{"BmpOfTheOldestHeader", Bmp(300, 200, 12), kBmp, true, {300, 200}},
        HeaderCase{"BmpPastTheLargestKeepsItsSize", Bmp(9000, 9000), kBmp, true, {9000, 9000}},
        HeaderCase{"BmpOfAnInfoSizeNoneHas", Bmp(640, 480, 20), kBmp, false, {}},
        HeaderCase{"BmpCutInItsInfo", Bmp(640, 480).substr(0, 30), kBmp, false, {}},
        HeaderCase{"Png", Png(8192, 8192, 8, 2), kPng, true, {8192, 8192}, {}, std::int64_t{8192} * 8192 * 3},
        HeaderCase{"PngOf16BitsWithAlpha", Png(100, 50, 16, 6), kPng, true, {100, 50}, {}, 100 * 50 * 8},
        HeaderCase{"PngOfOneBitGrey", Png(100, 50, 1, 0), kPng, true, {100, 50}, {}, 100 * 50},
        HeaderCase{"PngOfAbsurdSidesAndDepth", Png(0xFFFFFFFF, 0xFFFFFFFF, 255, 6), kPng, true, {1 << 30, 1 << 30}, {},
                   std::numeric_limits<std::int64_t>::max()},
        HeaderCase{"PngOfNoDepth", Png(100, 50, 0, 2), kPng, true, {100, 50}, {}, 0},
        HeaderCase{"PngWithoutItsHeaderChunk", Png(100, 50, 8, 2).replace(12, 4, "IDAT"), kPng, false, {}},
        HeaderCase{"Jpeg", Jpeg(0xC0, 4000, 3000), kJpeg, true, {4000, 3000}},
        HeaderCase{"JpegProgressive", Jpeg(0xC2, 4000, 3000), kJpeg, true, {4000, 3000}},
        HeaderCase{"JpegHeightAfterItsData", Jpeg(0xC0, 4000, 0), kJpeg, false, {}},
        HeaderCase{"JpegDataBeforeAnyFrame", Bytes({0xFF, 0xD8}) + kSos + Jpeg(0xC0, 40, 30).substr(2), kJpeg, false, {}},
        // Thousands of little segments (16 KB of comments) before the frame: its size is still found.
        HeaderCase{"JpegFrameAfterManySegments",
                   [] {
                       std::string comments;
                       for (int i = 0; i < 5000; ++i) comments += Bytes({0xFF, 0xFE, 0, 2});
                       return Bytes({0xFF, 0xD8}) + comments + Jpeg(0xC0, 65000, 65000).substr(2);
                   }(),
                   kJpeg, true, {65000, 65000}},
        HeaderCase{"JpegCutInASegment", Jpeg(0xC0, 4000, 3000).substr(0, 12), kJpeg, false, {}},
        // A GIF's screen is what a decoder fills; WIC gives the first frame at its own size; every frame is held.
        HeaderCase{"GifFramesOnTheirScreen",
                   GifScreen(100, 80, true) + kLoop + kControl + GifFrame(5, 5, 10, 10, true) + kControl +
                       GifFrame(0, 0, 30, 20) + ";",
                   kGif, true, {100, 80}, {10, 10}, 10 * 10 + 30 * 20},
        HeaderCase{"GifCutAfterItsFirstFrame", GifScreen(100, 80, false) + GifFrame(0, 0, 100, 80).substr(0, 12), kGif,
                   true, {100, 80}, {100, 80}, 100 * 80},
        HeaderCase{"GifWithADamagedControlStillGivesItsFrame",
                   GifScreen(64, 48, true) + Bytes({0x21, 0xF9, 3, 1, 0, 0, 0}) + GifFrame(0, 0, 64, 48) + ";", kGif,
                   true, {64, 48}, {64, 48}, 64 * 48},
        HeaderCase{"GifOfNoFrame", GifScreen(100, 80, true) + ";", kGif, false, {}},
        HeaderCase{"GifCutInItsTable", GifScreen(100, 80, true).substr(0, 15), kGif, false, {}},
        HeaderCase{"LargestGif", testsupport::OneColourGif(8192, 8192, 0x808080), kGif, true, {8192, 8192},
                   {8192, 8192}, std::int64_t{8192} * 8192},
        HeaderCase{"Text", "BMW owners' notes", kBmp, false, {}},
        HeaderCase{"NotAPicture", "notes about the hall", PictureFormat::Other, false, {}},
        HeaderCase{"Empty", "", PictureFormat::Other, false, {}}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

}  // namespace
