// Where the audience view puts things: which screen it takes, and the boxes
// of the caption, the countdowns, their bars and the clock on a screen of a
// given size. Plain geometry, shared by every front end that paints the view.
#pragma once

#include <string_view>
#include <vector>

namespace platform {

// A rectangle in pixels of the view (or of the desktop, for a screen).
struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double Right() const { return x + width; }
    double Bottom() const { return y + height; }
    bool operator==(const Box&) const = default;
};

// ---- Which screen ----------------------------------------------------------

// Indices of `screens` in the order `AudienceScreen` counts them: left to
// right, then top to bottom, by each screen's top-left corner.
std::vector<int> AudienceScreenOrder(const std::vector<Box>& screens);

struct AudienceScreenChoice {
    int index = -1;              // into the screens given; -1 when there is none
    bool numberUnknown = false;  // the configured number names no screen: the automatic choice was made
};

// The screen the view fills. `configured` is the setting: 0 for the
// automatic choice, N for the Nth screen of AudienceScreenOrder. The automatic
// choice is the largest screen other than the main window's (`mainScreen`, an
// index or -1), the earlier in that order on a tie; with one screen, that one,
// covering the main window.
AudienceScreenChoice ChooseAudienceScreen(const std::vector<Box>& screens, int mainScreen, int configured);

// ---- What goes where -------------------------------------------------------

// The countdown face's proportions, in fractions of its pixel size, as the
// platform measures them. Digits sit in cells of the widest digit's advance so
// the text never shifts as it counts; a ':' has a narrower cell of its own.
struct DigitFace {
    double digitAdvance = 0.6;
    double colonAdvance = 0.3;
    double inkAbove = 0.72;  // the digits' ink above the baseline
    double inkBelow = 0.0;   // ... and below it
};

// Width of `text` in cells, in fractions of the pixel size.
double CellsWidth(std::string_view text, const DigitFace& face);

// One countdown's boxes. Sizes in pixels; the fonts' pixel sizes with them.
struct CountdownBoxes {
    Box side;          // its side (正方/反方), above the digits
    Box digits;        // the line of digits, which at time up is the red field
    Box bar;           // the bar of the time left, under the digits
    Box foot;          // the row of the bar, where the overtime count replaces it
    double digitPixels = 0;
    double sidePixels = 0;
    double footPixels = 0;  // the overtime count's text
    double baseline = 0;    // the digits' baseline, so their ink sits in the middle of `digits`
};

struct StageLayout {
    Box caption;  // the stage's caption shrinks to fit this box
    double captionPixels = 0;  // ... starting from this size
    std::vector<CountdownBoxes> countdowns;  // one for each countdown shown, in order
    bool sideBySide = false;
    Box clock;
    double clockPixels = 0;
};

// `shown` countdowns (0, 1 or 2) on a view of `width` x `height`; `widestText`
// is the longest of their texts, so both share one size. One countdown is as
// large as the screen allows; two stand side by side where each line of
// digits is still a quarter of the height, and are stacked otherwise.
StageLayout LayOutStage(double width, double height, int shown, std::string_view widestText, const DigitFace& face);

struct HomeLayout {
    Box title;  // the application's title, shrinking to fit from titlePixels
    double titlePixels = 0;
    Box caption;  // the home page's caption beneath it, when one is set
    double captionPixels = 0;
    Box clock;
    double clockPixels = 0;
};

HomeLayout LayOutHome(double width, double height, const DigitFace& face);

// Positions of the cells of `text` at `pixels`, centred in `line`.
std::vector<Box> TextCells(const Box& line, std::string_view text, double pixels, const DigitFace& face);

// The share of the bar still filled: seconds left against the stage's allowance, 0 to 1.
double BarShare(int secondsLeft, int allowance);

}  // namespace platform
