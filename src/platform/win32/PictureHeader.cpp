#include "platform/win32/PictureHeader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::uint32_t Little(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

std::uint32_t Big(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// A side as the header gives it, past kLargestPictureSide kept past it (the
// plan refuses it) without overflowing an int.
int Side(std::int64_t value) { return static_cast<int>(std::min<std::int64_t>(std::llabs(value), 1 << 30)); }

PictureHeader Bmp(const unsigned char* head, std::size_t got) {
    PictureHeader header;
    if (got < 26) return header;
    const std::uint32_t infoSize = Little(head + 14, 4);
    if (infoSize == 12) {  // the OS/2 header's 16-bit sides
        header.size = {Side(Little(head + 18, 2)), Side(Little(head + 20, 2))};
    } else {
        header.size = {Side(static_cast<std::int32_t>(Little(head + 18, 4))),
                       Side(static_cast<std::int32_t>(Little(head + 22, 4)))};
    }
    header.known = true;
    return header;
}

PictureHeader Png(const unsigned char* head, std::size_t got) {
    PictureHeader header;
    if (got < 26 || std::memcmp(head + 12, "IHDR", 4) != 0) return header;
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
    header.wholeBytes = std::int64_t{header.size.width} * header.size.height * ((channels * depth + 7) / 8);
    return header;
}

// Segments up to the frame's header; the size lies in it.
PictureHeader Jpeg(const ReadAt& read) {
    PictureHeader header;
    std::uint64_t at = 2;
    std::array<unsigned char, 9> b{};
    for (int segments = 0; segments < 4096; ++segments) {
        if (read(at, b.data(), 4) < 4 || b[0] != 0xFF) return header;
        if (b[1] == 0xFF) {  // a fill byte before the marker
            ++at;
            continue;
        }
        const unsigned char marker = b[1];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return header;  // the picture's end, or its data, before a frame
        const std::uint32_t length = Big(b.data() + 2, 2);
        if (length < 2) return header;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (read(at + 4, b.data(), 5) < 5) return header;
            const int height = static_cast<int>(Big(b.data() + 1, 2));
            const int width = static_cast<int>(Big(b.data() + 3, 2));
            if (height == 0 || width == 0) return header;  // a height given after the data: left to the decoder
            header.size = {width, height};
            header.known = true;
            return header;
        }
        at += 2 + length;
    }
    return header;
}

// Skips a run of sub-blocks; answers the offset after it, or 0 past the file's end.
std::uint64_t SkipSubBlocks(const ReadAt& read, std::uint64_t at) {
    unsigned char size = 0;
    for (;;) {
        if (read(at, &size, 1) < 1) return 0;
        ++at;
        if (size == 0) return at;
        at += size;
    }
}

// Every frame's image descriptor: the decoder reads them all as it opens.
PictureHeader Gif(const unsigned char* head, std::size_t got, const ReadAt& read) {
    PictureHeader header;
    if (got < 13) return header;
    std::uint64_t at = 13;
    if ((head[10] & 0x80) != 0) at += 3u << ((head[10] & 7) + 1);
    std::array<unsigned char, 10> b{};
    for (;;) {
        if (read(at, b.data(), 1) < 1) break;
        if (b[0] == 0x3B) break;  // the trailer
        if (b[0] == 0x21) {       // an extension: its label, then sub-blocks
            at = SkipSubBlocks(read, at + 2);
        } else if (b[0] == 0x2C) {
            if (read(at, b.data(), 10) < 10) break;
            const PictureSize frame{Side(Little(b.data() + 5, 2)), Side(Little(b.data() + 7, 2))};
            if (!header.known) header.size = frame;
            header.known = true;
            header.wholeBytes += std::int64_t{frame.width} * frame.height;
            at += 10;
            if ((b[9] & 0x80) != 0) at += 3u << ((b[9] & 7) + 1);
            at = SkipSubBlocks(read, at + 1);  // past the code size
        } else {
            break;
        }
        if (at == 0) break;
    }
    return header;
}

}  // namespace

PictureHeader ReadPictureHeader(const ReadAt& read) {
    std::array<unsigned char, 32> head{};
    const std::size_t got = read(0, head.data(), head.size());
    PictureHeader header;
    if (got >= 2 && head[0] == 'B' && head[1] == 'M') {
        header = Bmp(head.data(), got);
        header.format = PictureFormat::Bmp;
    } else if (got >= 8 && std::memcmp(head.data(), "\x89PNG\r\n\x1A\n", 8) == 0) {
        header = Png(head.data(), got);
        header.format = PictureFormat::Png;
    } else if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        header = Jpeg(read);
        header.format = PictureFormat::Jpeg;
    } else if (got >= 6 &&
               (std::memcmp(head.data(), "GIF87a", 6) == 0 || std::memcmp(head.data(), "GIF89a", 6) == 0)) {
        header = Gif(head.data(), got, read);
        header.format = PictureFormat::Gif;
    }
    return header;
}

}  // namespace platform
