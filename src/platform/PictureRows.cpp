#include <algorithm>
#include <cstring>

#include "platform/PictureStreamParts.h"

namespace platform {

bool PictureReader::Fill(std::size_t wanted) {
    if (end_ - at_ >= wanted) return true;
    std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
    end_ -= at_;
    at_ = 0;
    while (end_ < wanted) {
        const std::size_t got = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
        if (got == 0) return false;
        end_ += got;
    }
    return true;
}

bool PictureReader::Bytes(unsigned char* into, std::size_t bytes) {
    while (bytes > 0) {
        if (!Fill(1)) return false;
        const std::size_t taken = std::min(bytes, end_ - at_);
        std::memcpy(into, buffer_.data() + at_, taken);
        at_ += taken;
        consumed_ += taken;
        into += taken;
        bytes -= taken;
    }
    return true;
}

int PictureReader::Byte() {
    unsigned char byte = 0;
    return Bytes(&byte, 1) ? byte : -1;
}

bool PictureReader::Skip(std::size_t bytes) {
    while (bytes > 0) {
        if (!Fill(1)) return false;
        const std::size_t taken = std::min(bytes, end_ - at_);
        at_ += taken;
        consumed_ += taken;
        bytes -= taken;
    }
    return true;
}

std::size_t PictureReader::Peek(unsigned char* into, std::size_t bytes) {
    bytes = std::min(bytes, buffer_.size());
    Fill(bytes);
    const std::size_t got = std::min(bytes, end_ - at_);
    std::memcpy(into, buffer_.data() + at_, got);
    return got;
}

PictureRows::PictureRows(const PicturePlan& plan, PictureSize declared)
    : plan_(plan), pixels_(static_cast<std::size_t>(plan.size.width) * static_cast<std::size_t>(plan.size.height), 0u) {
    // A part outside the picture would index past its rows: the whole picture instead.
    const PictureRect& part = plan.part;
    if (part.x < 0 || part.y < 0 || part.width <= 0 || part.height <= 0 || part.x + part.width > declared.width ||
        part.y + part.height > declared.height) {
        plan_.part = {0, 0, declared.width, declared.height};
    }
    const std::int64_t width = plan_.size.width;
    const std::int64_t height = plan_.size.height;
    for (std::int64_t row = 0; row < height; ++row) {
        sourceRow_.push_back(plan_.part.y + static_cast<int>((2 * row + 1) * plan_.part.height / (2 * height)));
    }
    for (std::int64_t column = 0; column <= width; ++column) {
        columnStart_.push_back(plan_.part.x + static_cast<int>(column * plan_.part.width / width));
    }
}

bool PictureRows::Wants(int y) const {
    return std::binary_search(sourceRow_.begin(), sourceRow_.end(), y);
}

void PictureRows::Put(int y, const std::uint32_t* row) {
    const auto [first, last] = std::equal_range(sourceRow_.begin(), sourceRow_.end(), y);
    if (first == last) return;
    const std::size_t width = static_cast<std::size_t>(plan_.size.width);
    std::uint32_t* out = pixels_.data() + static_cast<std::size_t>(first - sourceRow_.begin()) * width;
    for (std::size_t column = 0; column < width; ++column) {
        const int from = columnStart_[column];
        // Enlarged, a column spans less than a pixel: it takes the one it starts in.
        const int to = std::max(columnStart_[column + 1], from + 1);
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (int x = from; x < to; ++x) {
            const std::uint32_t pixel = row[x];
            for (int channel = 0; channel < 4; ++channel) sum[channel] += (pixel >> (8 * channel)) & 0xFF;
        }
        const auto count = static_cast<std::uint32_t>(to - from);
        std::uint32_t averaged = 0;
        for (int channel = 0; channel < 4; ++channel) averaged |= (sum[channel] / count) << (8 * channel);
        out[column] = averaged;
    }
    for (auto copy = first + 1; copy != last; ++copy) {
        std::memcpy(pixels_.data() + static_cast<std::size_t>(copy - sourceRow_.begin()) * width, out,
                    width * sizeof(std::uint32_t));
    }
}

StreamedPicture PictureRows::Take() {
    StreamedPicture picture;
    picture.fault = PictureFault::None;
    picture.size = plan_.size;
    picture.pixels = std::move(pixels_);
    return picture;
}

}  // namespace platform
