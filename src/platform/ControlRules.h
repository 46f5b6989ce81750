// The controls' rules, kept once for every front end and the tests' fakes: a
// label's font limits, a button's place in twips, and the button array's
// members. A front end's label, button and array derive from these and add
// only what touches the toolkit (ApplyFont, Place, a new member's widget).
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Controls.h"

namespace platform {

// Larger than any projector can show; far beyond it glyphs no longer fit in
// memory, so a size above this is brought down to it.
inline constexpr double kLargestFontPoints = 1000;

// A label's font as the logic sets it. The front end shows `font_` whenever
// ApplyFont is called.
class FontedLabel : public Label {
public:
    FontAttributes Font() const final { return font_; }
    // A blank name keeps the face in use rather than dropping the big
    // displays to the small interface font.
    void SetFontName(const std::string& name) final;
    // Refused unless above zero (a NaN neither); held to kLargestFontPoints.
    bool SetFontSize(double points) final;
    void SetFontBold(bool on) final;
    void SetFontItalic(bool on) final;
    void SetFontUnderline(bool on) final;

protected:
    virtual void ApplyFont() = 0;

    FontAttributes font_;
};

// A control's rectangle in whole pixels, from one in twips.
struct PixelPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Both edges are rounded, not the width: neighbours that share an edge in
// twips share it in pixels too, so the bar's one-pixel overlaps stay one
// pixel. `toPixels` is the front end's own rounding of a length in twips.
template <class ToPixels>
PixelPlace ToPixelPlace(const TwipRect& twips, ToPixels toPixels) {
    const int left = toPixels(twips.left);
    const int top = toPixels(twips.top);
    const int right = toPixels(twips.left + twips.width);
    const int bottom = toPixels(twips.top + twips.height);
    return {left, top, right > left ? right - left : 0, bottom > top ? bottom - top : 0};
}

// A button whose geometry is kept in twips exactly as given, so the logic
// reads back what it wrote; the front end places it on the nearest pixels
// (Place, through ToPixelPlace) after every change.
class PlacedButton : public Button {
public:
    explicit PlacedButton(const TwipRect& geometry) : geometry_(geometry) {}

    double Left() const final { return geometry_.left; }
    double Top() const final { return geometry_.top; }
    double Width() const final { return geometry_.width; }
    double Height() const final { return geometry_.height; }
    void SetLeft(double left) final;
    void SetTop(double top) final;
    void SetWidth(double width) final;
    void SetHeight(double height) final;
    void Move(double left, double top) final;

protected:
    virtual void Place() = 0;

    TwipRect geometry_;
};

// What the button array says when it is asked for what it refuses.
std::string LoadRefusedMessage(int index);
std::string UnloadFirstMessage();
std::string NoMemberMessage(int index);

// The bar's button array: member 0 from the start, each further member
// loaded next above the highest (UBound() + 1) and unloaded again, never
// member 0. Members above 0 may be unloaded in any order, so the indices are
// not always contiguous while the bar is rebuilt. A refused Load or Unload,
// or a member asked for that is not there, throws with a message saying which.
template <class Control>
class ButtonArrayOf : public ButtonArray {
public:
    int LBound() const final { return 0; }
    int UBound() const final { return members_.rbegin()->first; }
    Button& operator[](int index) final { return Member(index); }

    void Load(int index) final {
        if (index != UBound() + 1) throw std::invalid_argument(LoadRefusedMessage(index));
        std::unique_ptr<Control> member = NewMember();
        member->SetVisible(false);
        Connect(index, *member);
        members_.emplace(index, std::move(member));
    }
    void Unload(int index) final {
        if (index == 0) throw std::invalid_argument(UnloadFirstMessage());
        if (members_.erase(index) == 0) throw std::out_of_range(NoMemberMessage(index));
    }

    Control& Member(int index) {
        const auto found = members_.find(index);
        if (found == members_.end()) throw std::out_of_range(NoMemberMessage(index));
        return *found->second;
    }
    bool IsLoaded(int index) const { return members_.count(index) != 0; }
    // Every member, by index.
    const std::map<int, std::unique_ptr<Control>>& Members() const { return members_; }

protected:
    // The first member, made by the front end's constructor.
    void Adopt(std::unique_ptr<Control> first) {
        Connect(0, *first);
        members_.emplace(0, std::move(first));
    }
    // A new member in member 0's look (Load hides it).
    virtual std::unique_ptr<Control> NewMember() = 0;
    // Tells the member's clicks to onClick, with its index.
    virtual void Connect(int index, Control& member) = 0;

private:
    std::map<int, std::unique_ptr<Control>> members_;
};

}  // namespace platform
