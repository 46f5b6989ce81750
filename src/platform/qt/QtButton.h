// Push buttons: the clock button and the members of the bar's button array.
// Geometry is kept in twips exactly as given, so the logic reads back what it
// wrote; the widget sits on the nearest pixels.
#pragma once

#include <QPointer>
#include <QPushButton>

#include <map>
#include <memory>
#include <string>

#include "platform/Controls.h"

namespace platform {

class QtButton final : public Button {
public:
    QtButton(QWidget& parent, const std::string& caption, const TwipRect& geometry);
    // Lets the widget go once control is back in the event loop: the button
    // may be the one whose click is being handled.
    ~QtButton() override;
    QtButton(const QtButton&) = delete;
    QtButton& operator=(const QtButton&) = delete;

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    double Left() const override { return geometry_.left; }
    double Top() const override { return geometry_.top; }
    double Width() const override { return geometry_.width; }
    double Height() const override { return geometry_.height; }
    void SetLeft(double left) override;
    void SetTop(double top) override;
    void SetWidth(double width) override;
    void SetHeight(double height) override;
    void Move(double left, double top) override;
    void BringToFront() override;

    // Takes font, colours and style from `model`, as a new bar member does from member 0.
    void CopyLookOf(const QtButton& model);
    QPushButton* Widget() const { return button_; }

private:
    void Place();

    QPointer<QPushButton> button_;
    std::string caption_;
    TwipRect geometry_;
};

class QtButtonArray final : public ButtonArray {
public:
    // Creates member 0 with the design caption and geometry.
    QtButtonArray(QWidget& parent, const std::string& caption, const TwipRect& geometry);
    ~QtButtonArray() override;

    int LBound() const override { return 0; }
    int UBound() const override { return members_.rbegin()->first; }
    Button& operator[](int index) override { return Member(index); }
    void Load(int index) override;
    void Unload(int index) override;

    QtButton& Member(int index);
    bool IsLoaded(int index) const { return members_.count(index) != 0; }

private:
    void Connect(int index, QtButton& member);

    QWidget& parent_;
    // Ordered by index; members above 0 may be unloaded from the bottom up,
    // so the indices are not always contiguous while the bar is rebuilt.
    std::map<int, std::unique_ptr<QtButton>> members_;
};

}  // namespace platform
