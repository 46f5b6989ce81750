// The parts the header walker and PictureStream's readers share: the file
// read through a buffer, each format's headers, the rows decoded to the
// plan's size, and the BMP reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/PictureStream.h"

namespace platform {

// A number stored low byte first, as BMP and GIF store theirs.
inline std::uint32_t Little(const unsigned char* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

class PictureReader final {
public:
    explicit PictureReader(ByteSource& source) : source_(source), buffer_(kBuffer) {}
    // False when the file ends first.
    bool Bytes(unsigned char* into, std::size_t bytes);
    int Byte();  // -1 at the end
    bool Skip(std::size_t bytes);
    // Up to `bytes` of the next bytes, left to be read; answers how many.
    std::size_t Peek(unsigned char* into, std::size_t bytes);
    std::uint64_t Consumed() const { return consumed_; }

private:
    static constexpr std::size_t kBuffer = 64 * 1024;
    bool Fill(std::size_t wanted);

    ByteSource& source_;
    std::vector<unsigned char> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
};

// A GIF's logical screen descriptor, and the colour table after it.
struct GifScreen {
    PictureSize size;
    int colours = 0;  // entries of the global table, 0 for none
};
bool ReadGifScreen(PictureReader& in, GifScreen& screen);

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int colours = 0;  // entries of its local table, 0 for none
};

// What the graphic control extensions before a frame said.
struct GifControl {
    int transparent = -1;  // the colour index left clear, -1 for none
    bool damaged = false;  // one was not the 4 bytes it must be
};

// Passes the extensions before the next frame and reads its descriptor, up to
// its local table. False at the trailer, the file's end or a byte that begins
// no block.
bool NextGifFrame(PictureReader& in, GifFrame& frame, GifControl& control);
bool SkipGifSubBlocks(PictureReader& in);

// A BMP's compression: none, or its 16- or 32-bit pixels' channels in the masks it gives.
inline constexpr std::uint32_t kBmpRgb = 0;
inline constexpr std::uint32_t kBmpBitFields = 3;

// A BMP's file and info headers, as the file gives them.
struct BmpLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: the rows run top-down
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelsAt = 0;
    std::uint32_t colours = 0;  // in the palette
    int paletteEntry = 4;       // bytes: 3 in the oldest header
    std::array<std::uint32_t, 3> masks{};  // red, green, blue of a 16- or 32-bit pixel
};
// False for a header cut short or of a size no BMP has; leaves `in` at the palette.
bool ReadBmpLayout(PictureReader& in, BmpLayout& layout);

// The plan's pixels, filled from whole rows of the picture in any order: each
// row of the result takes the picture's row nearest its centre (so interlaced
// rows need no second pass), each column the average of the pixels it spans.
class PictureRows final {
public:
    PictureRows(const PicturePlan& plan, PictureSize declared);
    // Whether any row of the result takes the picture's row `y`.
    bool Wants(int y) const;
    // The picture's whole row `y`, premultiplied 0xAARRGGBB.
    void Put(int y, const std::uint32_t* row);
    StreamedPicture Take();

private:
    PicturePlan plan_;
    std::vector<int> sourceRow_;     // for each row of the result
    std::vector<int> columnStart_;   // for each column of the result, and one past the last
    std::vector<std::uint32_t> pixels_;
};

// An uncompressed BMP (1, 4, 8, 16, 24 or 32 bits a pixel); a compressed one
// is answered OverBudget: it is decoded whole only.
StreamedPicture ReadBmp(PictureReader& in, const std::function<PicturePlan(PictureSize)>& plan);

}  // namespace platform
