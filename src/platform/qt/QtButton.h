// Push buttons: the clock button and the members of the bar's button array.
// Geometry is kept in twips exactly as given, so the logic reads back what it
// wrote; the widget sits on the nearest pixels.
#pragma once

#include <QPointer>
#include <QPushButton>

#include <memory>
#include <string>

#include "platform/ControlRules.h"

namespace platform {

class QtButton final : public PlacedButton {
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
    void BringToFront() override;

    // Takes font, colours and style from `model`, as a new bar member does from member 0.
    void CopyLookOf(const QtButton& model);
    QPushButton* Widget() const { return button_; }

private:
    void Place() override;

    QPointer<QPushButton> button_;
    std::string caption_;
};

class QtButtonArray final : public ButtonArrayOf<QtButton> {
public:
    // Creates member 0 with the design caption and geometry.
    QtButtonArray(QWidget& parent, const std::string& caption, const TwipRect& geometry);
    ~QtButtonArray() override;

private:
    std::unique_ptr<QtButton> NewMember() override;
    void Connect(int index, QtButton& member) override;

    QWidget& parent_;
};

}  // namespace platform
