// Reads a picture a setting names, without letting the file harm the
// program: only a regular file is opened (never a pipe or a device), a
// picture is decoded as PlanPicture plans it (refused from its header when
// too large, straight to the size or the part needed where Qt's reader for its
// format can), and one cut short is refused rather than shown half grey.
#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

#include <string>

#include "platform/AudienceSettings.h"

namespace platform {

struct PictureRead {
    QImage image;  // null unless the fault is None
    PictureFault fault = PictureFault::None;
};

// `written` is a path as the configuration gives it, found as ResolveUserPath
// finds it; `screen` is the largest screen's size in pixels.
PictureRead ReadPicture(const std::string& written, const std::string& executableFolder, PictureUse use, QSize screen);

// Paints `picture` over (0, 0, size) as the audience view shows it: the part
// CoverSource names, scaled smoothly, with nothing else copied or scaled.
void PaintCover(QPainter& painter, const QImage& picture, QSize size);

// The largest screen now connected, in pixels: no picture is decoded larger
// than it needs.
QSize LargestScreen();

}  // namespace platform
