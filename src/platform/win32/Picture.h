// Pictures (BMP, GIF, JPEG, PNG, and whatever else the Windows Imaging
// Component reads) decoded into a bitmap the window paints.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// A 32-bit premultiplied BGRA bitmap of the file's first frame, or nullptr
// when the file cannot be read or decoded whole (a file cut short included).
HBITMAP LoadPictureFile(const std::wstring& path, SIZE& size);

}  // namespace platform
