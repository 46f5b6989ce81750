// The size a picture file declares, read from its own first bytes before the
// Windows Imaging Component sees it: under Wine, WIC's PNG, JPEG and GIF
// decoders decode the whole picture as they open, so the size they answer
// would come only after the memory a too large picture takes is spent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/PicturePlan.h"

namespace platform {

enum class PictureFormat { Other, Bmp, Gif, Jpeg, Png };

struct PictureHeader {
    PictureFormat format = PictureFormat::Other;
    bool known = false;     // BMP, GIF, JPEG or PNG with its size found
    PictureSize size;       // the first frame's
    // What the decoder holds once it has decoded the file whole, where that
    // is more than 4 bytes a pixel of the first frame could say: every frame
    // of a GIF (a byte a pixel each), a PNG of 16 bits a channel.
    std::int64_t wholeBytes = 0;
};

// Reads up to `count` bytes at `offset` into `out`; answers how many it read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, unsigned char* out, std::size_t count)>;

PictureHeader ReadPictureHeader(const ReadAt& read);

}  // namespace platform
