// A caption label on the window: a real QLabel with a transparent background
// that sizes itself to its caption in its font, as the layout expects.
#pragma once

#include <QLabel>
#include <QPointer>

#include <string>

#include "platform/ControlRules.h"

namespace platform {

class QtLabel final : public FontedLabel {
public:
    QtLabel(QWidget& parent, const std::string& caption, double left, double top, TextAlignment alignment);
    QtLabel(QWidget& parent, const LabelStart& start)
        : QtLabel(parent, start.caption, start.left, start.top, start.alignment) {}
    ~QtLabel() override;
    QtLabel(const QtLabel&) = delete;
    QtLabel& operator=(const QtLabel&) = delete;

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    Colour ForeColor() const override { return colour_; }
    void SetForeColor(Colour colour) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    double Left() const override { return left_; }
    double Top() const override { return top_; }
    double Width() const override;
    double Height() const override;
    void Move(double left, double top) override;

    QLabel* Widget() const { return label_; }

private:
    class TextLabel;
    void ApplyFont() override;
    void FitToText();

    QPointer<QLabel> label_;
    std::string caption_;
    // Kept as given: the layout may place a label on a half twip and reads it back.
    double left_;
    double top_;
    QSize pixels_;
    Colour colour_;
    int embolden_ = 0;  // pixels a synthetic bold adds to each stroke
};

}  // namespace platform
