// Pictures (BMP, GIF, JPEG, PNG, and whatever else the Windows Imaging
// Component reads) decoded into a bitmap the window paints.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// A 32-bit premultiplied BGRA bitmap of the file's first frame, or nullptr
// when the file cannot be read or decoded whole (a file cut short included).
HBITMAP LoadPictureFile(const std::wstring& path, SIZE& size);

// How far a picture may go, and the size it is needed at.
struct PictureBounds {
    // A picture that declares a larger side is refused before any pixel is decoded.
    UINT largestSide = 32768;
    // A picture larger than this both ways is decoded straight to the smallest
    // size that still covers it, so a big photograph costs a screenful only.
    SIZE cover{0, 0};
};

struct DecodedPicture {
    HBITMAP bitmap = nullptr;  // owned by the caller; nullptr when refused or unreadable
    SIZE size{0, 0};
    bool tooLarge = false;     // refused for its declared size
};

DecodedPicture DecodePictureFile(const std::wstring& path, const PictureBounds& bounds);

}  // namespace platform
