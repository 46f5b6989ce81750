// The parts PictureStream's readers share: the file read through a buffer,
// the rows decoded to the plan's size, and the BMP reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/PictureStream.h"

namespace platform {

class PictureReader final {
public:
    explicit PictureReader(ByteSource& source) : source_(source), buffer_(kBuffer) {}
    // False when the file ends first.
    bool Bytes(unsigned char* into, std::size_t bytes);
    int Byte();  // -1 at the end
    bool Skip(std::size_t bytes);
    // The next bytes, left to be read.
    bool Peek(unsigned char* into, std::size_t bytes);
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
