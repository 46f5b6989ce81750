// Reads a picture a setting names, without letting the file harm the
// program: only a regular file is opened (never a pipe or a device), a
// picture that declares more pixels than a screen could use is refused before
// any is decoded, and one cut short is refused rather than shown half grey.
#pragma once

#include <QImage>
#include <QSize>

#include <string>

#include "platform/AudienceSettings.h"

namespace platform {

struct PictureRead {
    QImage image;  // null unless the fault is None
    PictureFault fault = PictureFault::None;
};

// `written` is a path as the configuration gives it, found as ResolveUserPath
// finds it. With a `cover` size, a larger picture is decoded straight to the
// smallest size that still covers it, so a big photograph costs the memory of
// a screenful only.
PictureRead ReadPicture(const std::string& written, const std::string& executableFolder, QSize cover = {});

}  // namespace platform
