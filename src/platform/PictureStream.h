// Decodes GIF and uncompressed BMP pictures a row at a time, straight to the
// size and part a plan asks for. Qt and the Windows Imaging Component decode
// these formats whole only, so a large one would cost hundreds of megabytes;
// read here, it costs the rows it is decoded to and one row of the file.
// The bytes come from a setting's file, so nothing in them is trusted: every
// size and offset is checked, and a file cut short is refused, not shown half.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/PictureHeader.h"
#include "platform/PicturePlan.h"

namespace platform {

struct StreamedPicture {
    PictureFault fault = PictureFault::Unreadable;
    PictureSize size;  // of `pixels`
    // Premultiplied 0xAARRGGBB words, rows top-down: what QImage's
    // ARGB32_Premultiplied and a 32-bit top-down DIB section hold.
    std::vector<std::uint32_t> pixels;
};

// Whether StreamPicture reads a picture of `format`: a GIF, or a BMP (which
// may still turn out to be compressed, and be refused).
bool Streamable(PictureFormat format);

// Reads the picture from where `source` stands: reads the header, asks `plan`
// what to decode for the size it declares, and decodes that. The fault is the
// plan's, or Unreadable for a damaged, cut or compressed file, or one of
// another format.
StreamedPicture StreamPicture(ByteSource& source, const std::function<PicturePlan(PictureSize)>& plan);

}  // namespace platform
