#include "platform/qt/QtLabel.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <cmath>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtFonts.h"

namespace platform {
namespace {

// A face without a bold style of its own (the CJK Hei faces here) draws
// "bold" exactly as regular. Whether it does is seen by drawing both.
bool DrawsBold(QFont font) {
    const auto draw = [](const QFont& face) {
        QImage image(160, 160, QImage::Format_Grayscale8);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(face);
        painter.drawText(QRect(0, 0, 160, 160), Qt::AlignCenter, QStringLiteral("正0"));
        return image;
    };
    font.setPixelSize(64);
    QFont regular = font;
    regular.setWeight(QFont::Normal);
    font.setWeight(QFont::Bold);
    return draw(font) != draw(regular);
}

}  // namespace

// A label that draws its text unclipped (an italic's ink leans past the
// advance, into the margin kept for it) and can thicken its strokes by
// drawing the text a few pixels apart, for a bold the face cannot draw itself.
class QtLabel::TextLabel final : public QLabel {
public:
    using QLabel::QLabel;
    void SetEmbolden(int pixels) {
        embolden_ = pixels;
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const int flags = static_cast<int>(alignment()) | Qt::TextDontClip;
        for (int dy = 0; dy <= embolden_; ++dy) {
            for (int dx = 0; dx <= embolden_; ++dx) {
                style()->drawItemText(&painter, area.translated(dx, dy), flags, palette(), isEnabled(), text(),
                                      foregroundRole());
            }
        }
    }

private:
    int embolden_ = 0;
};

QtLabel::QtLabel(QWidget& parent, const std::string& caption, double left, double top, TextAlignment alignment)
    : label_(new TextLabel(&parent)), left_(left), top_(top), colour_(FromQColor(parent.palette().color(QPalette::WindowText))) {
    // Captions come from the configuration and are shown as written, never as markup.
    label_->setTextFormat(Qt::PlainText);
    label_->setAutoFillBackground(false);
    label_->setAttribute(Qt::WA_TranslucentBackground);
    label_->setFocusPolicy(Qt::NoFocus);
    label_->setAlignment((alignment == TextAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    const QFont initial = label_->font();
    font_.name = ToStdString(initial.family());
    font_.size = initial.pointSizeF();
    // Beneath the buttons, whatever the order of creation.
    label_->lower();
    label_->show();
    SetCaption(caption);
}

QtLabel::~QtLabel() {
    delete label_;
}

void QtLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (!label_) return;
    label_->setText(DisplayText(caption));
    label_->setAccessibleName(DisplayText(caption));
    FitToText();
}

void QtLabel::SetForeColor(Colour colour) {
    // Set on every refresh of a running countdown; an unchanged colour needs no repaint.
    if (colour == colour_) return;
    colour_ = colour;
    if (!label_) return;
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(colour));
    label_->setPalette(palette);
}

bool QtLabel::Visible() const {
    return label_ && !label_->isHidden();
}

void QtLabel::SetVisible(bool visible) {
    if (label_) label_->setVisible(visible);
}

double QtLabel::Width() const {
    return PixelsToTwips(pixels_.width());
}

double QtLabel::Height() const {
    return PixelsToTwips(pixels_.height());
}

void QtLabel::Move(double left, double top) {
    left_ = left;
    top_ = top;
    if (label_) label_->move(TwipsToPixels(left), TwipsToPixels(top));
}

void QtLabel::ApplyFont() {
    if (!label_) return;
    QFont font = label_->font();
    font.setFamily(FontFamilyFor(font_.name));
    font.setPointSizeF(font_.size);
    font.setWeight(font_.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(font_.italic);
    font.setUnderline(font_.underline);
    label_->setFont(font);
    // Synthetic bold: strokes thickened by about a 24th of the size, as
    // font renderers embolden a face that has no bold.
    embolden_ = font_.bold && !DrawsBold(font) ? std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() / 24.0))) : 0;
    static_cast<TextLabel*>(label_.data())->SetEmbolden(embolden_);
    FitToText();
}

// The text's advance rounded up and one pixel more, so the last glyph is
// never clipped; the font's line height (more for a multi-line caption).
// Ink beyond the advance (an italic's last digit leans out of it) and a
// synthetic bold's thicker strokes are added as margins around the text.
void QtLabel::FitToText() {
    const QSizeF extent = TextExtent(label_->font(), label_->text());
    const QFontMetricsF metrics(label_->font());
    double leftInk = 0;
    double rightInk = 0;
    for (const QString& line : label_->text().split(QLatin1Char('\n'))) {
        const QRectF ink = metrics.boundingRect(line);
        leftInk = std::max(leftInk, -ink.left());
        rightInk = std::max(rightInk, ink.right() - metrics.horizontalAdvance(line));
    }
    const int left = static_cast<int>(std::ceil(leftInk));
    const int right = static_cast<int>(std::ceil(rightInk)) + embolden_;
    label_->setContentsMargins(left, 0, right, embolden_);
    pixels_ = QSize(static_cast<int>(std::ceil(extent.width())) + 1 + left + right,
                    static_cast<int>(std::ceil(extent.height())) + embolden_);
    label_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_), pixels_.width(), pixels_.height());
}

}  // namespace platform
