// Fuzzes the row-at-a-time GIF and BMP reader that large backgrounds go
// through: any bytes, read for the audience view and for the main window's
// corner, on a small screen so a picture that declares 8192 a side is still
// decoded to a few pixels.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/PictureStream.h"

namespace {

class Bytes final : public platform::ByteSource {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Read(unsigned char* into, std::size_t wanted) override {
        const std::size_t taken = wanted < size_ - at_ ? wanted : size_ - at_;
        if (taken > 0) std::memcpy(into, data_ + at_, taken);
        at_ += taken;
        return taken;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const platform::PictureUse use : {platform::PictureUse::Cover, platform::PictureUse::TopLeft}) {
        Bytes source(data, size);
        const platform::StreamedPicture picture = platform::StreamPicture(source, [&](platform::PictureSize declared) {
            return platform::PlanPicture(declared, {true, true}, use, {64, 48});
        });
        if (picture.fault == platform::PictureFault::None &&
            picture.pixels.size() != static_cast<std::size_t>(picture.size.width) * picture.size.height) {
            __builtin_trap();
        }
    }
    return 0;
}
