// Draws the application icon, a stopwatch whose last quarter is red (the
// countdown's red last thirty seconds), as PNGs in the sizes the window and
// the desktop ask for: Tolvanexa-16.png ... Tolvanexa-256.png.
// Usage: make_icons OUTPUT_FOLDER
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
// Everything is drawn on a 256-unit square and scaled to the size asked for.
constexpr double kUnits = 256.0;
constexpr QPointF kCentre(128.0, 146.0);
constexpr double kOuterRadius = 104.0;

const QColor kCase(0x33, 0x37, 0x3d);
const QColor kFace(0xfa, 0xfa, 0xf7);
const QColor kRed(0xd6, 0x2d, 0x2d);
const QColor kHand(0x22, 0x22, 0x22);

// Small sizes get a thicker case and no minute ticks, so the shape still
// reads at 16 pixels instead of blurring into a grey disc.
bool IsSmall(int size) { return size < 48; }

void DrawCrown(QPainter& p) {
    p.setBrush(kCase);
    p.drawRoundedRect(QRectF(106, 6, 44, 22), 6, 6);  // the button pressed to start
    p.drawRect(QRectF(118, 24, 20, 22));              // its stem
    p.save();
    p.translate(kCentre);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-11, -kOuterRadius - 18, 22, 26), 5, 5);  // the side button
    p.restore();
}

void DrawFace(QPainter& p, int size) {
    const double faceRadius = IsSmall(size) ? 80.0 : 90.0;
    p.setBrush(kCase);
    p.drawEllipse(kCentre, kOuterRadius, kOuterRadius);
    p.setBrush(kFace);
    p.drawEllipse(kCentre, faceRadius, faceRadius);
    // From twelve o'clock a quarter turn clockwise (Qt counts angles
    // anticlockwise from three o'clock, in sixteenths of a degree).
    p.setBrush(kRed);
    const QRectF face(kCentre.x() - faceRadius, kCentre.y() - faceRadius, 2 * faceRadius, 2 * faceRadius);
    p.drawPie(face, 90 * 16, -90 * 16);
    if (IsSmall(size)) return;
    p.setPen(QPen(kHand, 6, Qt::SolidLine, Qt::RoundCap));
    for (int tick = 0; tick < 12; ++tick) {
        const double angle = tick * std::numbers::pi / 6.0;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        p.drawLine(kCentre + direction * (faceRadius - 16), kCentre + direction * (faceRadius - 4));
    }
    p.setPen(Qt::NoPen);
}

void DrawHand(QPainter& p, int size) {
    const double width = IsSmall(size) ? 16.0 : 10.0;
    p.setPen(QPen(kHand, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(kCentre, kCentre + QPointF(72, 0));  // pointing at the end of the red quarter
    p.setPen(Qt::NoPen);
    p.setBrush(kHand);
    p.drawEllipse(kCentre, width, width);
}

QImage Draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    p.setPen(Qt::NoPen);
    DrawCrown(p);
    DrawFace(p, size);
    DrawHand(p, size);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    // Runs during the build, where there may be no display at all.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
        return 2;
    }
    for (int size : kSizes) {
        const QString path = QString::fromLocal8Bit(argv[1]) + QString("/Tolvanexa-%1.png").arg(size);
        if (!Draw(size).save(path, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
