// The size and format a picture file declares, read from its own first bytes
// before a toolkit's decoder sees it, for both editions to plan the decode on:
// under Wine, WIC's PNG, JPEG and GIF decoders decode the whole picture as
// they open, and Qt's reader answers a top-down BMP's height as negative.
// The bytes come from a setting's file: nothing in them is trusted, and a
// header this cannot read is told as not known, for the decoder to judge.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/PicturePlan.h"

namespace platform {

// The file's bytes in order; Read answers 0 at the end (or on a failure).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(unsigned char* into, std::size_t bytes) = 0;
};

enum class PictureFormat { Other, Bmp, Gif, Jpeg, Png };

// The format the first `bytes` bytes of a file announce.
PictureFormat FormatOf(const unsigned char* head, std::size_t bytes);

struct PictureHeader {
    PictureFormat format = PictureFormat::Other;
    bool known = false;  // BMP, GIF, JPEG or PNG with its size found (for a GIF, a frame found)
    PictureSize size;    // a GIF's logical screen, which its first frame is shown on
    PictureSize firstFrame;  // a GIF's first frame at its own size
    // What a decoder holds once it has decoded the file whole, where that is
    // more than 4 bytes a pixel of the first frame could say: every frame of
    // a GIF (a byte a pixel each), a PNG of 16 bits a channel.
    std::int64_t wholeBytes = 0;
};

// Reads `source` from where it stands (the file's start).
PictureHeader ReadPictureHeader(ByteSource& source);

}  // namespace platform
