// Conversions at the edge between the logic's world (UTF-8 text, twips,
// 0x00BBGGRR colours) and Qt's (QString, device-independent pixels, QColor).
#pragma once

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>

#include <string>

#include "platform/Controls.h"

namespace platform {

inline constexpr double kTwipsPerPixel = 15.0;

QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

// Nearest pixel; a value no widget could take (NaN, far beyond any screen)
// is held to the widest size Qt accepts instead of overflowing an int.
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

// Text as a label or the window draws it: CR LF and lone CRs from a
// multi-line setting become line breaks.
QString DisplayText(const std::string& text);

// Extent of a possibly multi-line text in pixels: the widest line's advance
// and the line height, plus the line spacing for every further line.
QSizeF TextExtent(const QFont& font, const QString& text);

}  // namespace platform
