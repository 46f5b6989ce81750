// Fuzzes the header walker both editions plan a background picture on, and the
// row-at-a-time GIF and BMP reader that large backgrounds go through: any
// bytes, read for the audience view and for the main window's corner, on a
// small screen so a picture that declares 8192 a side is still decoded to a
// few pixels. The reader must plan on the size the walker finds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/PictureHeader.h"
#include "platform/PictureStream.h"
#include "support/StringSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    testsupport::StringSource headerSource(bytes);
    const platform::PictureHeader header = platform::ReadPictureHeader(headerSource);
    if (header.size.width < 0 || header.size.height < 0 || header.wholeBytes < 0) __builtin_trap();
    for (const platform::PictureUse use : {platform::PictureUse::Cover, platform::PictureUse::TopLeft}) {
        testsupport::StringSource source(bytes);
        bool planned = false;
        platform::PictureSize declared;
        const platform::StreamedPicture picture = platform::StreamPicture(source, [&](platform::PictureSize size) {
            planned = true;
            declared = size;
            return platform::PlanPicture(size, {true, true}, use, {64, 48});
        });
        if (planned && header.size != declared) __builtin_trap();
        if (picture.fault == platform::PictureFault::None &&
            (!header.known || picture.pixels.size() != static_cast<std::size_t>(picture.size.width) * picture.size.height)) {
            __builtin_trap();
        }
    }
    return 0;
}
