// Layout of the window, afresh at every change of size or content: the timer
// rows centred below the caption, the bar along the bottom edge, the clock in
// the bottom-right corner.
#include <algorithm>
#include <vector>

#include "window/SettingError.h"
#include "window/basConvert.h"
#include "window/frmMain.h"

namespace {

constexpr double kRowGap = 1500;     // from the control above to a timer row
constexpr double kColumnGap = 750;   // between a description and its display
constexpr double kButtonOverlap = 15;  // neighbours share a one-pixel edge

// Places one timer row, centred as a whole, at `top`.
void PlaceRow(double scaleWidth, double top, platform::Label& description, platform::Label& display) {
    const double left = (scaleWidth - display.Width() - description.Width() - kColumnGap) / 2;
    description.Move(left, top);
    display.Move(left + description.Width() + kColumnGap, top);
}

// One of the clock's sizes: its text plus the whole padding, read afresh,
// within the window's 16-bit range. Only a padding far too large can leave
// that range, so the fault is told as the padding's.
std::int16_t ClockExtent(const clsConfigFile& config, double text) {
    const double padding = WindowSettings::ButtonPaddingTwips(config);
    if (const auto extent = basConvert::TryRoundInt16(padding + text)) return *extent;
    throw SettingError(config.Path(), "ButtonPadding", config.Item("ButtonPadding"), SettingFault::OutOfRange);
}

}  // namespace

void frmMain::Form_Resize() {
    // The platform may report a size before start-up has read the settings.
    if (!mConfig) return;
    ArrangeButtons();
    SizeClockButton();
    const double scaleWidth = c.window.ScaleWidth();
    PlaceRow(scaleWidth, c.lblCaption.Top() + c.lblCaption.Height() + kRowGap, c.lblTimer1Desc, c.lblTimer1);
    // Row 2 follows row 1 whether or not either is shown.
    PlaceRow(scaleWidth, c.lblTimer1.Top() + c.lblTimer1.Height() + kRowGap, c.lblTimer2Desc, c.lblTimer2);
}

void frmMain::ArrangeButtons() {
    // A format's home page may hold thirty stages: its bar takes more rows
    // when one is not enough. The classic bar stays one row, as it always was,
    // unless its font is too large for the window (Windows' message font at a
    // high scaling), where one row would leave "关于" and "退出" off the window.
    if (mStages.fromFormat || !BarFitsOneRow()) return ArrangeRows();
    // Positions are whole twips rounded half to even, but not held to 16 bits:
    // a wide display must not make the layout fail.
    double x = 0;
    const int lowest = c.cmdCommand.LBound();
    const int highest = c.cmdCommand.UBound();
    for (int i = lowest; i <= highest; ++i) {
        platform::Button& button = c.cmdCommand[i];
        // Hidden gaps are placed too: their width is the gap.
        button.Move(x, c.window.ScaleHeight() - button.Height());
        // Each later button in front, so a shared edge is drawn once.
        button.BringToFront();
        x = basConvert::RoundPosition(x + (button.Width() - kButtonOverlap));
    }
}

void frmMain::SizeClockButton() {
    platform::Button& clock = c.cmdTime;
    const std::string text = clock.Caption();
    const std::int16_t width = ClockExtent(*mConfig, c.window.TextWidth(text));
    const std::int16_t height = ClockExtent(*mConfig, c.window.TextHeight(text));
    const double left = basConvert::RoundPosition(c.window.ScaleWidth() - width);
    const double top = basConvert::RoundPosition(c.window.ScaleHeight() - height);
    // Written only when changed: this runs every second and must not repaint needlessly.
    if (clock.Width() != width) clock.SetWidth(width);
    if (clock.Height() != height) clock.SetHeight(height);
    if (clock.Left() != left) clock.SetLeft(left);
    if (clock.Top() != top) clock.SetTop(top);
}

bool frmMain::BarFitsOneRow() const {
    double x = 0;
    for (int i = c.cmdCommand.LBound(); i <= c.cmdCommand.UBound(); ++i) x += c.cmdCommand[i].Width() - kButtonOverlap;
    const double clockWidth = ClockExtent(*mConfig, c.window.TextWidth(c.cmdTime.Caption()));
    return x + kButtonOverlap <= c.window.ScaleWidth() - clockWidth;
}

void frmMain::ArrangeRows() {
    // A row ends before a button would reach the clock's column, so no row is
    // clipped at the edge nor drawn over the clock; a button wider than the
    // room has a row of its own. A gap that would start a row is left out.
    const double clockWidth = ClockExtent(*mConfig, c.window.TextWidth(c.cmdTime.Caption()));
    const double room = c.window.ScaleWidth() - clockWidth;
    struct Placed {
        int index;
        double left;
    };
    std::vector<std::vector<Placed>> rows(1);
    double x = 0;
    const int lowest = c.cmdCommand.LBound();
    const int highest = c.cmdCommand.UBound();
    for (int i = lowest; i <= highest; ++i) {
        const platform::Button& button = c.cmdCommand[i];
        const bool gap = button.Caption().empty();
        if (!gap && x > 0 && x + button.Width() > room) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back({i, x});
        if (!(gap && x == 0)) x = basConvert::RoundPosition(x + (button.Width() - kButtonOverlap));
    }
    // The last row on the bottom edge, each row above it sharing an edge with the one below.
    double bottom = c.window.ScaleHeight();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        double height = 0;
        for (const Placed& placed : *row) {
            const platform::Button& button = c.cmdCommand[placed.index];
            if (!button.Caption().empty()) height = std::max(height, button.Height());
        }
        for (const Placed& placed : *row) {
            platform::Button& button = c.cmdCommand[placed.index];
            button.Move(placed.left, bottom - button.Height());
            button.BringToFront();
        }
        bottom = basConvert::RoundPosition(bottom - height + kButtonOverlap);
    }
}
