// Pictures (BMP, GIF, JPEG, PNG, and whatever else the Windows Imaging
// Component reads) decoded into a bitmap the window paints, as PlanPicture
// plans: no picture within kLargestPictureSide a side costs more than
// kPictureBudgetBytes to decode.
#pragma once

#include <windows.h>

#include <string>

#include "platform/PicturePlan.h"

namespace platform {

struct DecodedPicture {
    HBITMAP bitmap = nullptr;  // 32-bit premultiplied BGRA, owned by the caller; nullptr when not shown
    SIZE size{0, 0};
    PictureFault fault = PictureFault::None;
};

// The first frame of the picture the user wrote as `written` (found as every
// path from the configuration is), for `use` on screens no larger than
// `screen` (empty when unknown). A pipe or a device is never opened; a file
// cut short is Unreadable rather than half a picture over a grey block.
DecodedPicture ReadPicture(const std::string& written, const std::string& executableFolder, PictureUse use,
                           PictureSize screen);

// A 32-bit bitmap of `size` whose rows run top-down, as WIC delivers them.
HBITMAP TopDownBitmap(SIZE size, void** bits);

// The largest screen now connected, in physical pixels.
PictureSize LargestScreen();

}  // namespace platform
