#include "platform/qt/QtAudiencePainter.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtFonts.h"

namespace platform {
namespace {

QFont Face(const FontAttributes& attributes) {
    QFont font(FontFamilyFor(attributes.name.empty() ? "黑体" : attributes.name));
    font.setBold(attributes.bold);
    font.setItalic(attributes.italic);
    return font;
}

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QColor RoleColour(AudienceRole role) {
    const Rgb colour = AudienceColour(role);
    return {colour.red, colour.green, colour.blue};
}

}  // namespace

QtAudienceFonts::QtAudienceFonts(const AudienceSettings& settings)
    : timer_(Face(settings.timerFont)), caption_(Face(settings.captionFont)) {}

QFont QtAudienceFonts::Font(const TextStyle& style) const {
    QFont font = style.face == AudienceFace::Timer ? timer_ : caption_;
    font.setPixelSize(style.pixels);
    return font;
}

double QtAudienceFonts::Advance(const TextStyle& style, std::string_view text) {
    return QFontMetricsF(Font(style)).horizontalAdvance(ToQString(text));
}

double QtAudienceFonts::Ascent(const TextStyle& style) { return QFontMetricsF(Font(style)).ascent(); }

double QtAudienceFonts::Descent(const TextStyle& style) { return QFontMetricsF(Font(style)).descent(); }

AudienceMeasurer::Ink QtAudienceFonts::InkOf(const TextStyle& style, std::string_view text) {
    const QRectF ink = QFontMetricsF(Font(style)).tightBoundingRect(ToQString(text));
    if (ink.height() <= 0) return {};
    return {std::max(0.0, -ink.top()), std::max(0.0, ink.bottom())};
}

std::string QtAudienceFonts::FitWithEllipsis(const TextStyle& style, const std::string& text, double width) {
    return ToStdString(QFontMetricsF(Font(style)).elidedText(ToQString(text), Qt::ElideRight, width));
}

QRect ToQRect(const PixelBox& box) { return {box.left, box.top, box.Width(), box.Height()}; }

QRegion ToQRegion(const std::vector<PixelBox>& boxes) {
    QRegion region;
    for (const PixelBox& box : boxes) region += ToQRect(box);
    return region;
}

void PaintAudience(QPainter& painter, const std::vector<AudiencePiece>& pieces, const QRegion& dirty,
                   const QtAudienceFonts& fonts) {
    for (const AudiencePiece& piece : pieces) {
        const QRect box = ToQRect(piece.box);
        if (box.isEmpty() || !dirty.intersects(box)) continue;
        if (piece.fill) painter.fillRect(box, RoleColour(*piece.fill));
        if (piece.text.empty()) continue;
        // Nothing is drawn outside the piece's box, or a later change of the
        // piece would leave a trace behind that no rectangle repaints.
        painter.save();
        painter.setClipRect(box);
        painter.setFont(fonts.Font(piece.style));
        painter.setPen(RoleColour(piece.colour));
        painter.drawText(QPointF(piece.originX, piece.originY), ToQString(piece.text));
        painter.restore();
    }
}

}  // namespace platform
