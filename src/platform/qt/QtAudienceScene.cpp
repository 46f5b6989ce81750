#include "platform/qt/QtAudienceScene.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/AudienceText.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtFonts.h"

namespace platform {
namespace {

// A projector in a lit hall: light on black, the running side in the main
// window's red, the waiting side dimmed.
const QColor kText(0xF2, 0xF2, 0xF2);
const QColor kDimmed(0x78, 0x78, 0x78);
const QColor kRed(0xFF, 0x3B, 0x30);
const QColor kRedField(0xC8, 0x10, 0x10);
const QColor kClock(0xB0, 0xB0, 0xB0);
const QColor kBarTrack(0x3A, 0x3A, 0x3A);
const QColor kBarFill(0xE8, 0xE8, 0xE8);

// Bars turn red from half a minute left, with the digits.
constexpr int kRedSeconds = 30;
// A caption shrinks to this share of its size before it is cut short with "…".
constexpr double kLeastShrink = 0.4;
// Beyond any screen: no size above this is asked of a font.
constexpr double kLargestPixels = 4000;
// The size the countdown face is measured at.
constexpr int kMeasurePixels = 200;
// The red field reaches this far beyond the digits on either side, in their size.
constexpr double kFieldReach = 0.06;

QFont Sized(QFont font, double pixels) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(std::min(pixels, kLargestPixels)))));
    return font;
}

QRect ToRect(const Box& box) { return QRectF(box.x, box.y, box.width, box.height).toAlignedRect(); }

// One line of text, centred in `box`, shrinking from `pixels` until it fits
// and cut short with "…" when even the least size is too wide.
AudiencePiece FittedLine(const QString& text, const QFont& face, double pixels, const Box& box, const QColor& colour) {
    QFont font = Sized(face, pixels);
    double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > box.width && width > 0) {
        // Advances grow with the size, near enough in proportion; the loop mends the rounding.
        double fitted = std::max(pixels * kLeastShrink, pixels * box.width / width);
        for (font = Sized(face, fitted); fitted > pixels * kLeastShrink; font = Sized(face, fitted)) {
            if (QFontMetricsF(font).horizontalAdvance(text) <= box.width) break;
            fitted -= 1;
        }
    }
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, box.width);
    width = metrics.horizontalAdvance(shown);
    const double baseline = box.y + (box.height + metrics.ascent() - metrics.descent()) / 2;
    return {ToRect(box), QColor(), shown, font, colour, {box.x + (box.width - width) / 2, baseline}};
}

// A text in cells of equal width for every digit, so it never shifts as it counts.
void AddCells(std::vector<AudiencePiece>& pieces, const Box& line, const std::string& text, const QFont& face,
              double pixels, const DigitFace& digits, double baseline, const QColor& colour) {
    const QFont font = Sized(face, pixels);
    const QFontMetricsF metrics(font);
    const std::vector<Box> cells = TextCells(line, text, pixels, digits);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const QString glyph(QLatin1Char(text[i]));
        const double left = cells[i].x + (cells[i].width - metrics.horizontalAdvance(glyph)) / 2;
        pieces.push_back({ToRect(cells[i]), QColor(), glyph, font, colour, {left, baseline}});
    }
}

double CellBaseline(const Box& line, double pixels, const DigitFace& digits) {
    return line.y + (line.height + (digits.inkAbove - digits.inkBelow) * pixels) / 2;
}

// "超时" and the overtime in cells, centred in the countdown's foot.
void AddOvertime(std::vector<AudiencePiece>& pieces, const CountdownBoxes& boxes, int overtime,
                 const AudienceFaces& faces) {
    const std::string count = MinutesAndSeconds(overtime);
    const QFont font = Sized(faces.timer, boxes.footPixels);
    const QString label = QStringLiteral("超时 ");
    const double labelWidth = QFontMetricsF(font).horizontalAdvance(label);
    const double cellsWidth = CellsWidth(count, faces.digits) * boxes.footPixels;
    const double left = boxes.foot.x + (boxes.foot.width - labelWidth - cellsWidth) / 2;
    const double baseline = CellBaseline(boxes.foot, boxes.footPixels, faces.digits);
    const Box labelBox{left, boxes.foot.y, labelWidth, boxes.foot.height};
    pieces.push_back({ToRect(labelBox), QColor(), label, font, kRed, {left, baseline}});
    const Box cells{left + labelWidth, boxes.foot.y, cellsWidth, boxes.foot.height};
    AddCells(pieces, cells, count, faces.timer, boxes.footPixels, faces.digits, baseline, kRed);
}

void AddCountdown(std::vector<AudiencePiece>& pieces, const AudienceCountdown& countdown, const CountdownBoxes& boxes,
                  bool waiting, const AudienceFaces& faces) {
    const QColor sideColour = countdown.running ? kRed : waiting ? kDimmed : kText;
    pieces.push_back(FittedLine(ToQString(countdown.side), faces.timer, boxes.sidePixels, boxes.side, sideColour));

    const double reach = kFieldReach * boxes.digitPixels;
    const Box field{boxes.digits.x - reach, boxes.digits.y, boxes.digits.width + 2 * reach, boxes.digits.height};
    pieces.push_back({ToRect(field), countdown.timeUp ? kRedField : QColor(), {}, {}, {}, {}});
    const QColor digitColour = countdown.timeUp ? kText : countdown.red ? kRed : waiting ? kDimmed : kText;
    AddCells(pieces, boxes.digits, countdown.text, faces.timer, boxes.digitPixels, faces.digits, boxes.baseline,
             digitColour);

    if (countdown.timeUp) {
        AddOvertime(pieces, boxes, countdown.overtimeSeconds, faces);
        return;
    }
    pieces.push_back({ToRect(boxes.bar), kBarTrack, {}, {}, {}, {}});
    Box filled = boxes.bar;
    filled.width = std::round(boxes.bar.width * BarShare(countdown.secondsLeft, countdown.allowance));
    const bool red = countdown.red || countdown.secondsLeft <= kRedSeconds;
    pieces.push_back({ToRect(filled), red ? kRed : kBarFill, {}, {}, {}, {}});
}

void AddClock(std::vector<AudiencePiece>& pieces, const std::string& clock, const Box& box, double pixels,
              const AudienceFaces& faces) {
    AddCells(pieces, box, clock, faces.timer, pixels, faces.digits, CellBaseline(box, pixels, faces.digits), kClock);
}

QString Line(const std::string& text) { return ToQString(OneLine(text)); }

}  // namespace

AudienceFaces MakeAudienceFaces(const AudienceSettings& settings) {
    AudienceFaces faces;
    const auto face = [](const FontAttributes& attributes, const char* fallback) {
        QFont font(FontFamilyFor(attributes.name.empty() ? fallback : attributes.name));
        font.setBold(attributes.bold);
        font.setItalic(attributes.italic);
        return font;
    };
    faces.timer = face(settings.timerFont, "黑体");
    faces.caption = face(settings.captionFont, "黑体");

    const QFontMetricsF metrics(Sized(faces.timer, kMeasurePixels));
    double widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(digit)));
    const QRectF ink = metrics.tightBoundingRect(QStringLiteral("0123456789:"));
    // A face without digits measures nothing; the design's proportions stand in for it.
    if (widest > 0 && ink.height() > 0) {
        faces.digits.digitAdvance = widest / kMeasurePixels;
        faces.digits.colonAdvance = std::max(metrics.horizontalAdvance(QLatin1Char(':')), widest / 4) / kMeasurePixels;
        faces.digits.inkAbove = std::max(0.0, -ink.top()) / kMeasurePixels;
        faces.digits.inkBelow = std::max(0.0, ink.bottom()) / kMeasurePixels;
    }
    return faces;
}

std::vector<AudiencePiece> ComposeAudience(const AudienceFrame& frame, QSize size, const AudienceFaces& faces) {
    std::vector<AudiencePiece> pieces;
    const double width = size.width();
    const double height = size.height();
    if (frame.home) {
        const HomeLayout layout = LayOutHome(width, height, faces.digits);
        pieces.push_back(FittedLine(Line(frame.title), faces.caption, layout.titlePixels, layout.title, kText));
        if (!frame.caption.empty()) {
            pieces.push_back(
                FittedLine(Line(frame.caption), faces.caption, layout.captionPixels, layout.caption, kClock));
        }
        AddClock(pieces, frame.clock, layout.clock, layout.clockPixels, faces);
        return pieces;
    }

    const ShownCountdowns countdowns = CountdownsShown(frame);
    const StageLayout layout = LayOutStage(width, height, static_cast<int>(countdowns.shown.size()),
                                           countdowns.widest, faces.digits);
    pieces.push_back(FittedLine(Line(frame.caption), faces.caption, layout.captionPixels, layout.caption, kText));
    for (std::size_t i = 0; i < countdowns.shown.size(); ++i) {
        AddCountdown(pieces, *countdowns.shown[i].countdown, layout.countdowns[i], countdowns.shown[i].waiting, faces);
    }
    AddClock(pieces, frame.clock, layout.clock, layout.clockPixels, faces);
    return pieces;
}

QRegion ChangedRegion(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                      QSize size) {
    if (before.size() != after.size()) return QRegion(QRect(QPoint(0, 0), size));
    QRegion changed;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        changed += before[i].box;
        changed += after[i].box;
    }
    return changed;
}

void PaintPieces(QPainter& painter, const std::vector<AudiencePiece>& pieces, const QRegion& dirty) {
    for (const AudiencePiece& piece : pieces) {
        if (piece.box.isEmpty() || !dirty.intersects(piece.box)) continue;
        if (piece.fill.isValid()) painter.fillRect(piece.box, piece.fill);
        if (piece.text.isEmpty()) continue;
        // Nothing is drawn outside the piece's box, or a later change of the
        // piece would leave a trace behind that no rectangle repaints.
        painter.save();
        painter.setClipRect(piece.box);
        painter.setFont(piece.font);
        painter.setPen(piece.colour);
        painter.drawText(piece.origin, piece.text);
        painter.restore();
    }
}

QString AudienceName(const AudienceFrame& frame) { return ToQString(AudienceNameText(frame)); }

QString AudienceDescription(const AudienceFrame& frame) { return ToQString(AudienceDescriptionText(frame)); }

}  // namespace platform
