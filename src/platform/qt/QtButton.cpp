#include "platform/qt/QtButton.h"

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

// "&" would otherwise mark a mnemonic and vanish from the caption.
QString ButtonText(const std::string& caption) {
    QString text = DisplayText(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

}  // namespace

QtButton::QtButton(QWidget& parent, const std::string& caption, const TwipRect& geometry)
    : PlacedButton(geometry), button_(new QPushButton(&parent)) {
    button_->setAutoDefault(false);
    SetCaption(caption);
    Place();
    button_->show();
}

QtButton::~QtButton() {
    if (!button_) return;
    // Only the click is cut: Qt's own books (the accessibility cache) wait for
    // the widget's destruction and must still hear of it, or every rebuild of
    // the bar leaves its buttons' entries behind.
    QObject::disconnect(button_, &QPushButton::clicked, nullptr, nullptr);
    button_->hide();
    button_->deleteLater();
}

void QtButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (!button_) return;
    button_->setText(ButtonText(caption));
    button_->setAccessibleName(DisplayText(caption));
}

bool QtButton::Enabled() const {
    return button_ && button_->isEnabled();
}

void QtButton::SetEnabled(bool enabled) {
    if (button_) button_->setEnabled(enabled);
}

bool QtButton::Visible() const {
    return button_ && !button_->isHidden();
}

void QtButton::SetVisible(bool visible) {
    if (button_) button_->setVisible(visible);
}

void QtButton::BringToFront() {
    if (button_) button_->raise();
}

void QtButton::CopyLookOf(const QtButton& model) {
    if (!button_ || !model.button_) return;
    button_->setFont(model.button_->font());
    button_->setPalette(model.button_->palette());
    button_->setStyleSheet(model.button_->styleSheet());
    button_->setFocusPolicy(model.button_->focusPolicy());
}

void QtButton::Place() {
    if (!button_) return;
    const PixelPlace place = ToPixelPlace(geometry_, TwipsToPixels);
    button_->setGeometry(place.left, place.top, place.width, place.height);
}

QtButtonArray::QtButtonArray(QWidget& parent, const std::string& caption, const TwipRect& geometry)
    : parent_(parent) {
    Adopt(std::make_unique<QtButton>(parent, caption, geometry));
}

QtButtonArray::~QtButtonArray() = default;

std::unique_ptr<QtButton> QtButtonArray::NewMember() {
    auto member = std::make_unique<QtButton>(parent_, "", TwipRect{});
    member->CopyLookOf(Member(0));
    return member;
}

void QtButtonArray::Connect(int index, QtButton& member) {
    QObject::connect(member.Widget(), &QPushButton::clicked, member.Widget(), [this, index] {
        if (onClick) onClick(index);
    });
}

}  // namespace platform
