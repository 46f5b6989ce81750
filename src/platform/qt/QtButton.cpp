#include "platform/qt/QtButton.h"

#include <stdexcept>

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
    : button_(new QPushButton(&parent)), geometry_(geometry) {
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

void QtButton::SetLeft(double left) {
    geometry_.left = left;
    Place();
}

void QtButton::SetTop(double top) {
    geometry_.top = top;
    Place();
}

void QtButton::SetWidth(double width) {
    geometry_.width = width;
    Place();
}

void QtButton::SetHeight(double height) {
    geometry_.height = height;
    Place();
}

void QtButton::Move(double left, double top) {
    geometry_.left = left;
    geometry_.top = top;
    Place();
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

// Both edges are rounded, not the width: neighbours that share an edge in
// twips share it in pixels too, so the bar's one-pixel overlaps stay one pixel.
void QtButton::Place() {
    if (!button_) return;
    const int left = TwipsToPixels(geometry_.left);
    const int top = TwipsToPixels(geometry_.top);
    const int right = TwipsToPixels(geometry_.left + geometry_.width);
    const int bottom = TwipsToPixels(geometry_.top + geometry_.height);
    button_->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QtButtonArray::QtButtonArray(QWidget& parent, const std::string& caption, const TwipRect& geometry)
    : parent_(parent) {
    auto& first = *members_.emplace(0, std::make_unique<QtButton>(parent, caption, geometry)).first->second;
    Connect(0, first);
}

QtButtonArray::~QtButtonArray() = default;

void QtButtonArray::Load(int index) {
    if (index <= 0 || IsLoaded(index)) {
        throw std::invalid_argument("按钮数组的第 " + std::to_string(index) + " 号成员已存在或不能创建");
    }
    auto member = std::make_unique<QtButton>(parent_, "", TwipRect{});
    member->SetVisible(false);
    member->CopyLookOf(Member(0));
    Connect(index, *member);
    members_.emplace(index, std::move(member));
}

void QtButtonArray::Unload(int index) {
    if (index == 0) throw std::invalid_argument("按钮数组的第 0 号成员不能删除");
    if (members_.erase(index) == 0) {
        throw std::out_of_range("按钮数组没有第 " + std::to_string(index) + " 号成员");
    }
}

QtButton& QtButtonArray::Member(int index) {
    const auto found = members_.find(index);
    if (found == members_.end()) throw std::out_of_range("按钮数组没有第 " + std::to_string(index) + " 号成员");
    return *found->second;
}

void QtButtonArray::Connect(int index, QtButton& member) {
    QObject::connect(member.Widget(), &QPushButton::clicked, member.Widget(), [this, index] {
        if (onClick) onClick(index);
    });
}

}  // namespace platform
