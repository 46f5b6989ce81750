#include "platform/qt/QtConvert.h"

#include <QFontMetricsF>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) {
    return text.toStdString();
}

int TwipsToPixels(double twips) {
    constexpr double kLimit = QWIDGETSIZE_MAX;
    const double pixels = twips / kTwipsPerPixel;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}

double PixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}

QColor ToQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

Colour FromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<Colour>(rgb.red()) | static_cast<Colour>(rgb.green()) << 8 |
           static_cast<Colour>(rgb.blue()) << 16;
}

QString DisplayText(const std::string& text) {
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QSizeF TextExtent(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    double width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const double height = metrics.height() + static_cast<double>(lines.size() - 1) * metrics.lineSpacing();
    return {width, height};
}

}  // namespace platform
