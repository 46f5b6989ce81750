#include "platform/PictureHeader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/PictureStreamParts.h"

namespace platform {
namespace {

std::uint32_t Big(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// A side as the header gives it, past kLargestPictureSide kept past it (the
// plan refuses it) without overflowing an int.
int Side(std::int64_t value) { return static_cast<int>(std::min<std::int64_t>(std::llabs(value), 1 << 30)); }

PictureHeader Bmp(PictureReader& in) {
    PictureHeader header;
    BmpLayout layout;
    if (!ReadBmpLayout(in, layout)) return header;
    header.size = {Side(layout.width), Side(layout.height)};
    header.known = true;
    return header;
}

PictureHeader Png(PictureReader& in) {
    PictureHeader header;
    unsigned char head[26];
    if (!in.Bytes(head, sizeof head) || std::memcmp(head + 12, "IHDR", 4) != 0) return header;
    header.size = {Side(Big(head + 16, 4)), Side(Big(head + 20, 4))};
    header.known = true;
    // Held at its own depth: 16 bits a channel with alpha is 8 bytes a pixel.
    const int depth = head[24];
    int channels = 1;
    switch (head[25]) {
        case 2: channels = 3; break;
        case 4: channels = 2; break;
        case 6: channels = 4; break;
        default: break;
    }
    // Sides of a billion and a depth of 255 would overflow: held at the most an int64 says, refused all the same.
    const std::int64_t pixels = std::int64_t{header.size.width} * header.size.height;
    const int bytes = (channels * depth + 7) / 8;
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    header.wholeBytes = bytes > 0 && pixels > kMost / bytes ? kMost : pixels * bytes;
    return header;
}

// Segments up to the frame's header; the size lies in it.
PictureHeader Jpeg(PictureReader& in) {
    PictureHeader header;
    unsigned char b[5];
    if (!in.Skip(2)) return header;
    // Every turn reads a byte or more, so a file of any number of segments ends the walk at its end.
    for (;;) {
        if (in.Peek(b, 4) < 4 || b[0] != 0xFF) return header;
        if (b[1] == 0xFF) {  // a fill byte before the marker
            in.Skip(1);
            continue;
        }
        const unsigned char marker = b[1];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            in.Skip(2);
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return header;  // the picture's end, or its data, before a frame
        const std::uint32_t length = Big(b + 2, 2);
        if (length < 2) return header;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (!in.Skip(4) || !in.Bytes(b, 5)) return header;
            const int height = static_cast<int>(Big(b + 1, 2));
            const int width = static_cast<int>(Big(b + 3, 2));
            if (height == 0 || width == 0) return header;  // a height given after the data: left to the decoder
            header.size = {width, height};
            header.known = true;
            return header;
        }
        if (!in.Skip(2 + length)) return header;
    }
    return header;
}

// Every frame's image descriptor: a GIF decoder reads them all as it opens.
PictureHeader Gif(PictureReader& in) {
    PictureHeader header;
    GifScreen screen;
    if (!ReadGifScreen(in, screen) || !in.Skip(3 * static_cast<std::size_t>(screen.colours))) return header;
    GifFrame frame;
    GifControl control;
    while (NextGifFrame(in, frame, control)) {
        if (!header.known) header.firstFrame = {frame.width, frame.height};
        header.known = true;
        header.wholeBytes += std::int64_t{frame.width} * frame.height;
        // Past its table and the code size, to its data.
        if (!in.Skip(3 * static_cast<std::size_t>(frame.colours) + 1) || !SkipGifSubBlocks(in)) break;
    }
    header.size = screen.size;
    return header;
}

}  // namespace

PictureFormat FormatOf(const unsigned char* head, std::size_t bytes) {
    if (bytes >= 2 && head[0] == 'B' && head[1] == 'M') return PictureFormat::Bmp;
    if (bytes >= 8 && std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) == 0) return PictureFormat::Png;
    if (bytes >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return PictureFormat::Jpeg;
    if (bytes >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0)) {
        return PictureFormat::Gif;
    }
    return PictureFormat::Other;
}

PictureHeader ReadPictureHeader(ByteSource& source) {
    PictureReader in(source);
    unsigned char head[8];
    const PictureFormat format = FormatOf(head, in.Peek(head, sizeof head));
    PictureHeader header;
    switch (format) {
        case PictureFormat::Bmp: header = Bmp(in); break;
        case PictureFormat::Png: header = Png(in); break;
        case PictureFormat::Jpeg: header = Jpeg(in); break;
        case PictureFormat::Gif: header = Gif(in); break;
        case PictureFormat::Other: break;
    }
    header.format = format;
    return header;
}

bool ReadGifScreen(PictureReader& in, GifScreen& screen) {
    unsigned char header[13];
    if (!in.Bytes(header, sizeof header)) return false;
    screen.size = {static_cast<int>(Little(header + 6, 2)), static_cast<int>(Little(header + 8, 2))};
    screen.colours = (header[10] & 0x80) != 0 ? 2 << (header[10] & 7) : 0;
    return true;
}

bool SkipGifSubBlocks(PictureReader& in) {
    for (int size = in.Byte(); size != 0; size = in.Byte()) {
        if (size < 0 || !in.Skip(static_cast<std::size_t>(size))) return false;
    }
    return true;
}

bool NextGifFrame(PictureReader& in, GifFrame& frame, GifControl& control) {
    for (;;) {
        const int block = in.Byte();
        if (block == 0x21) {  // an extension: its label, then sub-blocks
            const int label = in.Byte();
            if (label == 0xF9) {
                unsigned char bytes[5];
                const bool whole = in.Peek(bytes, sizeof bytes) == sizeof bytes && bytes[0] == 4;
                control.damaged = control.damaged || !whole;
                if (whole) control.transparent = (bytes[1] & 1) != 0 ? bytes[4] : -1;
            }
            if (label < 0 || !SkipGifSubBlocks(in)) return false;
        } else if (block == 0x2C) {
            unsigned char d[9];
            if (!in.Bytes(d, sizeof d)) return false;
            frame = {static_cast<int>(Little(d, 2)),     static_cast<int>(Little(d + 2, 2)),
                     static_cast<int>(Little(d + 4, 2)), static_cast<int>(Little(d + 6, 2)),
                     (d[8] & 0x40) != 0,                 (d[8] & 0x80) != 0 ? 2 << (d[8] & 7) : 0};
            return true;
        } else {
            return false;  // the trailer, or not a block at all
        }
    }
}

bool ReadBmpLayout(PictureReader& in, BmpLayout& layout) {
    unsigned char file[14];
    unsigned char info[124] = {};
    if (!in.Bytes(file, sizeof file) || !in.Bytes(info, 4)) return false;
    layout.pixelsAt = Little(file + 10, 4);
    const std::uint32_t infoSize = Little(info, 4);
    if (infoSize == 12) {  // the OS/2 header's 16-bit sides
        if (!in.Bytes(info + 4, 8)) return false;
        layout.width = static_cast<std::int32_t>(Little(info + 4, 2));
        layout.height = static_cast<std::int32_t>(Little(info + 6, 2));
        layout.bits = static_cast<int>(Little(info + 10, 2));
        layout.paletteEntry = 3;
    } else {
        if (infoSize < 40 || infoSize > 124 || !in.Bytes(info + 4, infoSize - 4)) return false;
        layout.width = static_cast<std::int32_t>(Little(info + 4, 4));
        layout.height = static_cast<std::int32_t>(Little(info + 8, 4));
        layout.bits = static_cast<int>(Little(info + 14, 2));
        layout.compression = Little(info + 16, 4);
        layout.colours = Little(info + 32, 4);
        if (layout.compression == kBmpBitFields) {  // the masks follow the oldest info header, or lie in a newer one
            if (infoSize < 52 && !in.Bytes(info + 40, 12)) return false;
            for (int i = 0; i < 3; ++i) layout.masks[static_cast<std::size_t>(i)] = Little(info + 40 + 4 * i, 4);
        }
    }
    if (layout.compression == kBmpRgb && layout.bits == 16) layout.masks = {0x7C00, 0x03E0, 0x001F};
    if (layout.compression == kBmpRgb && layout.bits == 32) layout.masks = {0xFF0000, 0xFF00, 0xFF};
    return true;
}

}  // namespace platform
