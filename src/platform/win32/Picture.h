// Pictures (BMP, GIF, JPEG, PNG, and whatever else the Windows Imaging
// Component reads) decoded into a bitmap the window paints.
#pragma once

#include <windows.h>

#include <string>

#include "platform/AudienceSettings.h"

namespace platform {

// How far a picture may go, and the size it is needed at.
struct PictureBounds {
    // A picture that declares a larger side is refused before any pixel is decoded.
    UINT largestSide = static_cast<UINT>(kLargestPictureSide);
    // A picture larger than this both ways is decoded straight to the smallest
    // size that still covers it, so a big photograph costs a screenful only.
    SIZE cover{0, 0};
};

struct DecodedPicture {
    HBITMAP bitmap = nullptr;  // owned by the caller; nullptr when refused or unreadable
    SIZE size{0, 0};
    bool tooLarge = false;     // refused for its declared size
};

// The file's first frame as a 32-bit premultiplied BGRA bitmap; no bitmap
// when the file cannot be read or decoded whole (a file cut short included).
DecodedPicture DecodePictureFile(const std::wstring& path, const PictureBounds& bounds);

// Why the picture at `file` (a resolved path) cannot be read, before anything
// is decoded. On Windows a regular file's path never turns into a pipe or a
// device, so the check by name holds for the file then read.
PictureFault PictureFileFault(const std::string& file);

}  // namespace platform
