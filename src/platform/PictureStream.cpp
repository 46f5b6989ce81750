#include "platform/PictureStream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/PictureStreamParts.h"

namespace platform {
namespace {

// GIF: the first frame on its logical screen, rows in the file's order
// (interlaced or not); what the frame leaves uncovered is transparent.
constexpr int kLzwCodes = 4096;

// The bytes of a GIF's data sub-blocks, one after another.
class SubBlocks final {
public:
    explicit SubBlocks(PictureReader& in) : in_(in) {}
    int Byte() {
        while (left_ == 0) {
            if (ended_) return -1;
            const int size = in_.Byte();
            if (size <= 0) {
                ended_ = true;
                return -1;
            }
            left_ = size;
        }
        --left_;
        return in_.Byte();
    }

private:
    PictureReader& in_;
    int left_ = 0;
    bool ended_ = false;
};

// A colour table of `count` entries, RGB each, as premultiplied opaque words.
bool ReadPalette(PictureReader& in, int count, std::vector<std::uint32_t>& palette) {
    palette.assign(256, 0xFF000000u);  // an index past the table is black, as browsers show it
    for (int i = 0; i < count; ++i) {
        unsigned char rgb[3];
        if (!in.Bytes(rgb, 3)) return false;
        palette[static_cast<std::size_t>(i)] = 0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    }
    return true;
}

// Decodes the frame's LZW data into rows and hands each finished row to `sink`.
class GifRows final {
public:
    GifRows(const GifFrame& frame, const std::vector<std::uint32_t>& palette, int transparent, int screenWidth,
            PictureRows& sink)
        : frame_(frame), palette_(palette), transparent_(transparent), sink_(sink),
          indices_(static_cast<std::size_t>(frame.width)), row_(static_cast<std::size_t>(screenWidth), 0) {}

    bool Decode(PictureReader& in, int minimumCodeSize) {
        SubBlocks data(in);
        const int clear = 1 << minimumCodeSize;
        const int end = clear + 1;
        int codeSize = minimumCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        int first = 0;
        std::uint32_t bits = 0;
        int bitCount = 0;
        while (!Done()) {
            while (bitCount < codeSize) {
                const int byte = data.Byte();
                if (byte < 0) return false;  // cut short
                bits |= static_cast<std::uint32_t>(byte) << bitCount;
                bitCount += 8;
            }
            int code = static_cast<int>(bits & ((1u << codeSize) - 1));
            bits >>= codeSize;
            bitCount -= codeSize;
            if (code == clear) {
                codeSize = minimumCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end) return Done();
            if (previous < 0) {
                if (code > clear) return false;
                Emit(code);
                previous = first = code;
                continue;
            }
            const int read = code;
            int depth = 0;
            if (code > next || (code == next && next >= kLzwCodes)) return false;
            if (code == next) {
                stack_[depth++] = static_cast<unsigned char>(first);
                code = previous;
            }
            while (code > end) {
                stack_[depth++] = suffix_[static_cast<std::size_t>(code)];
                code = prefix_[static_cast<std::size_t>(code)];
            }
            if (code >= clear) return false;
            first = code;
            stack_[depth++] = static_cast<unsigned char>(code);
            if (next < kLzwCodes) {
                prefix_[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
                suffix_[static_cast<std::size_t>(next)] = static_cast<unsigned char>(first);
                ++next;
                if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
            }
            previous = read;
            while (depth > 0 && !Done()) Emit(stack_[static_cast<std::size_t>(--depth)]);
        }
        return true;
    }

private:
    bool Done() const { return rowsDone_ >= frame_.height; }

    void Emit(int index) {
        indices_[static_cast<std::size_t>(x_)] = static_cast<unsigned char>(index);
        if (++x_ < frame_.width) return;
        x_ = 0;
        Flush();
        ++rowsDone_;
        if (!frame_.interlaced) {
            ++y_;
            return;
        }
        // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
        static constexpr std::array<int, 4> kStart{0, 4, 2, 1};
        static constexpr std::array<int, 4> kStep{8, 8, 4, 2};
        y_ += kStep[static_cast<std::size_t>(pass_)];
        while (y_ >= frame_.height && pass_ < 3) y_ = kStart[static_cast<std::size_t>(++pass_)];
    }

    void Flush() {
        const int y = frame_.top + y_;
        if (!sink_.Wants(y)) return;
        std::fill(row_.begin(), row_.end(), 0u);
        const int width = std::min(frame_.width, static_cast<int>(row_.size()) - frame_.left);
        for (int x = 0; x < width; ++x) {
            const int index = indices_[static_cast<std::size_t>(x)];
            row_[static_cast<std::size_t>(frame_.left + x)] =
                index == transparent_ ? 0u : palette_[static_cast<std::size_t>(index)];
        }
        sink_.Put(y, row_.data());
    }

    const GifFrame& frame_;
    const std::vector<std::uint32_t>& palette_;
    const int transparent_;
    PictureRows& sink_;
    std::vector<unsigned char> indices_;
    std::vector<std::uint32_t> row_;
    std::array<std::uint16_t, kLzwCodes> prefix_{};
    std::array<unsigned char, kLzwCodes> suffix_{};
    std::array<unsigned char, kLzwCodes + 1> stack_{};
    int x_ = 0;
    int y_ = 0;  // the frame's row being filled
    int pass_ = 0;
    int rowsDone_ = 0;
};

StreamedPicture ReadGif(PictureReader& in, const std::function<PicturePlan(PictureSize)>& plan) {
    StreamedPicture picture;
    GifScreen screen;
    std::vector<std::uint32_t> global;
    if (!ReadGifScreen(in, screen) || (screen.colours > 0 && !ReadPalette(in, screen.colours, global))) return picture;
    if (screen.size.IsEmpty()) return picture;
    const PicturePlan planned = plan(screen.size);
    if (planned.fault != PictureFault::None) {
        picture.fault = planned.fault;
        return picture;
    }
    GifFrame frame;
    GifControl control;
    // The trailer before any frame, or not a block at all, is no picture.
    if (!NextGifFrame(in, frame, control) || control.damaged) return picture;
    std::vector<std::uint32_t> local;
    if (frame.colours > 0 && !ReadPalette(in, frame.colours, local)) return picture;
    const std::vector<std::uint32_t>& palette = local.empty() ? global : local;
    const int minimumCodeSize = in.Byte();
    // A frame past the largest side would be decoded pixel by pixel for
    // nothing; one off the screen would show an empty picture as if whole.
    if (palette.empty() || minimumCodeSize < 2 || minimumCodeSize > 8 || frame.width == 0 || frame.height == 0 ||
        frame.width > kLargestPictureSide || frame.height > kLargestPictureSide || frame.left >= screen.size.width ||
        frame.top >= screen.size.height) {
        return picture;
    }
    PictureRows rows(planned, screen.size);
    if (!GifRows(frame, palette, control.transparent, screen.size.width, rows).Decode(in, minimumCodeSize)) {
        return picture;
    }
    return rows.Take();
}

}  // namespace

bool Streamable(PictureFormat format) { return format == PictureFormat::Gif || format == PictureFormat::Bmp; }

StreamedPicture StreamPicture(ByteSource& source, const std::function<PicturePlan(PictureSize)>& plan) {
    PictureReader in(source);
    unsigned char head[6];
    if (in.Peek(head, sizeof head) < sizeof head) return {};
    switch (FormatOf(head, sizeof head)) {
        case PictureFormat::Gif: return ReadGif(in, plan);
        case PictureFormat::Bmp: return ReadBmp(in, plan);
        default: return {};
    }
}

}  // namespace platform
