// What the window's logic needs of on-screen controls. Every position and size
// is in twips (15 to a pixel); the adapters convert at the edge so the logic
// never sees a pixel. Text is UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Colours are 0x00BBGGRR, red in the low byte.
using Colour = std::uint32_t;
inline constexpr Colour kRed = 255;
inline constexpr Colour kBlack = 0;

// Where a control stands and how large it is, in twips.
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// How a label places its text in the width its caption gives it.
enum class TextAlignment { Left, Centre };

// Where a label starts (twips) with its first caption.
struct LabelStart {
    const char* caption;
    double left;
    double top;
    TextAlignment alignment;
};

struct FontAttributes {
    std::string name;
    double size = 0;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// A text label drawn on the window's surface with a transparent background.
// It sizes itself to its caption in its font: Width and Height follow the text.
class Label {
public:
    virtual ~Label() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual Colour ForeColor() const = 0;
    virtual void SetForeColor(Colour colour) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    // Moves without changing the size; a half twip is accepted as given.
    virtual void Move(double left, double top) = 0;

    virtual FontAttributes Font() const = 0;
    virtual void SetFontName(const std::string& name) = 0;
    // Returns false when the size is refused (not above zero); the font keeps its size.
    virtual bool SetFontSize(double points) = 0;
    virtual void SetFontBold(bool on) = 0;
    virtual void SetFontItalic(bool on) = 0;
    virtual void SetFontUnderline(bool on) = 0;
};

// A push button in the window's default font.
class Button {
public:
    virtual ~Button() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double left) = 0;
    virtual void SetTop(double top) = 0;
    virtual void SetWidth(double width) = 0;
    virtual void SetHeight(double height) = 0;
    virtual void Move(double left, double top) = 0;
    // Puts the button in front of every other control of the window.
    virtual void BringToFront() = 0;
};

// The indexed button array of the bar. Member 0 always exists; members above
// it are created (as hidden copies of member 0's look) and destroyed at run
// time. Indices are contiguous from LBound to UBound.
class ButtonArray {
public:
    virtual ~ButtonArray() = default;
    virtual int LBound() const = 0;
    virtual int UBound() const = 0;
    virtual Button& operator[](int index) = 0;
    // Creates member `index`; it must be UBound() + 1.
    virtual void Load(int index) = 0;
    // Destroys member `index` (never 0). Safe while that member's click is
    // being handled: the control itself goes away once the event is over.
    virtual void Unload(int index) = 0;

    // Called with the member's index when a member is clicked.
    std::function<void(int)> onClick;
};

}  // namespace platform
