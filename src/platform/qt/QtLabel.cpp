#include "platform/qt/QtLabel.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtFonts.h"

namespace platform {
namespace {

// Larger than any projector can show; far beyond it glyphs no longer fit in
// memory, so a size above this is brought down to it.
constexpr double kLargestPoints = 1000;

}  // namespace

QtLabel::QtLabel(QWidget& parent, const std::string& caption, double left, double top, TextAlignment alignment)
    : label_(new QLabel(&parent)), left_(left), top_(top), colour_(FromQColor(parent.palette().color(QPalette::WindowText))) {
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

void QtLabel::SetFontName(const std::string& name) {
    // A blank setting keeps the face in use rather than dropping the big
    // displays to the small interface font.
    if (name.find_first_not_of(' ') == std::string::npos) return;
    font_.name = name;
    ApplyFont();
}

bool QtLabel::SetFontSize(double points) {
    if (!std::isfinite(points) || points <= 0) return false;
    font_.size = std::min(points, kLargestPoints);
    ApplyFont();
    return true;
}

void QtLabel::SetFontBold(bool on) {
    font_.bold = on;
    ApplyFont();
}

void QtLabel::SetFontItalic(bool on) {
    font_.italic = on;
    ApplyFont();
}

void QtLabel::SetFontUnderline(bool on) {
    font_.underline = on;
    ApplyFont();
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
    FitToText();
}

// The text's advance rounded up and one pixel more, so the last glyph is
// never clipped; the font's line height (more for a multi-line caption).
void QtLabel::FitToText() {
    const QSizeF extent = TextExtent(label_->font(), label_->text());
    pixels_ = QSize(static_cast<int>(std::ceil(extent.width())) + 1, static_cast<int>(std::ceil(extent.height())));
    label_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_), pixels_.width(), pixels_.height());
}

}  // namespace platform
