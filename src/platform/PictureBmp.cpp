// BMP, uncompressed: read a row at a time, bottom-up or top-down as the file
// says, with the colour masks a 16- or 32-bit file may give.
#include <algorithm>
#include <array>

#include "platform/PictureStreamParts.h"

namespace platform {
namespace {

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t most = 0;
    explicit Channel(std::uint32_t bits = 0) : mask(bits) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        most = mask >> shift;
    }
    std::uint32_t Of(std::uint32_t pixel) const {
        return most == 0 ? 0 : static_cast<std::uint32_t>((static_cast<std::uint64_t>((pixel & mask) >> shift) * 255) / most);
    }
};

// The rows as this reader walks them: the sides it can read, the masks as channels.
struct BmpRows {
    int width = 0;
    int height = 0;
    bool topDown = false;
    std::array<Channel, 3> masks;
};

// False for sides no BMP this reads has: none, or past 16 times the largest
// read (the plan refuses those past the largest, as too large).
bool Rows(const BmpLayout& layout, BmpRows& rows) {
    const std::int64_t height = layout.height;
    if (layout.width <= 0 || height == 0 || height < -kLargestPictureSide * 16 || height > kLargestPictureSide * 16 ||
        layout.width > kLargestPictureSide * 16) {
        return false;
    }
    rows.width = layout.width;
    rows.topDown = height < 0;
    rows.height = static_cast<int>(height < 0 ? -height : height);
    for (std::size_t i = 0; i < 3; ++i) rows.masks[i] = Channel(layout.masks[i]);
    return true;
}

bool Uncompressed(const BmpLayout& layout) {
    switch (layout.bits) {
        case 1: case 4: case 8: case 24: return layout.compression == kBmpRgb;
        case 16: case 32: return layout.compression == kBmpRgb || layout.compression == kBmpBitFields;
        default: return false;
    }
}

// Row `bytes` of the file as premultiplied opaque words.
void Convert(const BmpLayout& layout, const BmpRows& rows, const std::vector<std::uint32_t>& palette,
             const unsigned char* bytes, std::uint32_t* row) {
    for (int x = 0; x < rows.width; ++x) {
        std::uint32_t pixel = 0;
        switch (layout.bits) {
            case 1: case 4: case 8: {
                const int bit = x * layout.bits;
                const int index = (bytes[bit / 8] >> (8 - layout.bits - bit % 8)) & ((1 << layout.bits) - 1);
                row[x] = palette[static_cast<std::size_t>(index)];
                continue;
            }
            case 24: row[x] = 0xFF000000u | (bytes[3 * x + 2] << 16) | (bytes[3 * x + 1] << 8) | bytes[3 * x]; continue;
            case 16: pixel = Little(bytes + 2 * x, 2); break;
            default: pixel = Little(bytes + 4 * x, 4); break;
        }
        row[x] = 0xFF000000u | (rows.masks[0].Of(pixel) << 16) | (rows.masks[1].Of(pixel) << 8) |
                 rows.masks[2].Of(pixel);
    }
}

}  // namespace

StreamedPicture ReadBmp(PictureReader& in, const std::function<PicturePlan(PictureSize)>& plan) {
    StreamedPicture picture;
    BmpLayout layout;
    BmpRows shape;
    if (!ReadBmpLayout(in, layout) || !Rows(layout, shape)) return picture;
    const PictureSize declared{shape.width, shape.height};
    const PicturePlan planned = plan(declared);
    if (planned.fault != PictureFault::None) {
        picture.fault = planned.fault;
        return picture;
    }
    if (!Uncompressed(layout)) {
        picture.fault = PictureFault::OverBudget;
        return picture;
    }
    std::vector<std::uint32_t> palette(256, 0xFF000000u);
    if (layout.bits <= 8) {
        const std::uint32_t colours = layout.colours == 0 ? (1u << layout.bits) : std::min<std::uint32_t>(layout.colours, 256);
        for (std::uint32_t i = 0; i < colours; ++i) {
            unsigned char entry[4];
            if (!in.Bytes(entry, static_cast<std::size_t>(layout.paletteEntry))) return picture;
            palette[i] = 0xFF000000u | (entry[2] << 16) | (entry[1] << 8) | entry[0];
        }
    }
    if (layout.pixelsAt < in.Consumed() || !in.Skip(layout.pixelsAt - in.Consumed())) return picture;
    const std::size_t stride = (static_cast<std::size_t>(shape.width) * static_cast<std::size_t>(layout.bits) + 31) / 32 * 4;
    std::vector<unsigned char> bytes(stride);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(shape.width));
    PictureRows rows(planned, declared);
    for (int read = 0; read < shape.height; ++read) {
        if (!in.Bytes(bytes.data(), stride)) return picture;  // cut short
        const int y = shape.topDown ? read : shape.height - 1 - read;
        if (!rows.Wants(y)) continue;
        Convert(layout, shape, palette, bytes.data(), row.data());
        rows.Put(y, row.data());
    }
    return rows.Take();
}

}  // namespace platform
