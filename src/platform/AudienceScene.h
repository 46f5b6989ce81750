// What the audience view paints, decided once for every front end: from the
// published frame and the screen's size, a list of pieces, each a rectangle
// that holds everything it paints (a fill, a text clipped to it, or both),
// whose colours are roles. A front end measures text for it (through
// AudienceMeasurer), maps roles to its own colours and paints the pieces.
//
// Two lists for two frames are compared piece by piece, so only the
// rectangles whose content changed are painted again: in a running countdown,
// the digit that moved, a sliver of its bar and the clock's seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AudienceLayout.h"
#include "platform/AudienceView.h"

namespace platform {

// What a piece's colour stands for. The hall's palette (AudienceColour) gives
// each a colour; a front end only converts it.
enum class AudienceRole {
    Text,           // the captions, a side's name and its digits at rest
    Dimmed,         // the waiting side, while the other side's countdown runs
    Running,        // the name of the side whose countdown runs
    Warning,        // the digits from the last half minute on
    Overtime,       // "超时" and the overtime count at time up
    Secondary,      // the clock, and the home page's caption under the title
    OvertimeField,  // the field behind the digits at time up
    BarTrack,       // the bar's whole length
    Bar,            // the share of the allowance still left
    BarWarning,     // ... from the last half minute on
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A projector in a lit hall: light on black, the running side and the last
// half minute in the main window's red, the waiting side dimmed.
Rgb AudienceColour(AudienceRole role);

// The view's two faces, as the settings name them.
enum class AudienceFace { Timer, Caption };

// A face at a size: the em, in whole pixels.
struct TextStyle {
    AudienceFace face = AudienceFace::Timer;
    int pixels = 0;
    bool operator==(const TextStyle&) const = default;
};

// A rectangle of whole pixels: left and top inside it, right and bottom just outside.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelBox&) const = default;
};

struct AudiencePiece {
    PixelBox box;
    std::optional<AudienceRole> fill;  // none: nothing filled
    std::string text;                  // UTF-8; empty: no text
    TextStyle style;
    AudienceRole colour = AudienceRole::Text;
    double originX = 0;  // the text's baseline, at its left end
    double originY = 0;

    bool operator==(const AudiencePiece&) const = default;
};

// What a front end measures for the scene, in pixels, as its own painting will
// draw the text. Texts are UTF-8.
class AudienceMeasurer {
public:
    virtual ~AudienceMeasurer() = default;
    virtual double Advance(const TextStyle& style, std::string_view text) = 0;
    // The face's ascent and descent at that size, from the baseline.
    virtual double Ascent(const TextStyle& style) = 0;
    virtual double Descent(const TextStyle& style) = 0;
    // How far the ink of `text` reaches above and below the baseline (each 0 or more).
    struct Ink {
        double above = 0;
        double below = 0;
    };
    virtual Ink InkOf(const TextStyle& style, std::string_view text) = 0;
    // `text` unchanged if it is no wider than `width`; otherwise its longest
    // beginning that fits with "…" after it, that "…" included (never half a
    // character), or empty where not even "…" fits.
    virtual std::string FitWithEllipsis(const TextStyle& style, const std::string& text, double width) = 0;
};

// The countdown face's proportions, measured once for the settings' face;
// the design's own where the face measures nothing (a face without digits).
DigitFace MeasureDigitFace(AudienceMeasurer& measurer);

// Everything the view paints for `frame` on a view of `width` x `height`, in painting order.
std::vector<AudiencePiece> ComposeAudience(const AudienceFrame& frame, int width, int height,
                                           const DigitFace& digits, AudienceMeasurer& measurer);

// What must be painted again to go from `before` to `after`: the boxes of the
// pieces that differ, old and new, or the whole view of `width` x `height`
// when the lists no longer match piece for piece.
std::vector<PixelBox> ChangedBoxes(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                                   int width, int height);

}  // namespace platform
