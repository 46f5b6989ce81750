#include "platform/AudienceLayout.h"

#include <algorithm>
#include <numeric>

namespace platform {
namespace {

// Proportions of the view, as fractions of the screen's height unless said
// otherwise; a projector is read from the back of the hall, so the countdowns
// take what the caption and the clock leave.
constexpr double kMargin = 0.025;        // of the shorter side
constexpr double kCaptionBand = 0.10;
constexpr double kCaptionText = 0.075;
constexpr double kClockText = 0.04;
constexpr double kLineOfText = 1.3;      // a text's box, in its pixel size
constexpr double kQuarter = 0.25;        // the least line of digits for two side by side
constexpr double kHomeTitle = 0.13;
constexpr double kHomeCaption = 0.06;
constexpr double kHomeGap = 0.03;

// A countdown's rows, in fractions of its digits' pixel size.
constexpr double kSideRow = 0.26;
constexpr double kSideText = 0.18;
constexpr double kDigitPadding = 0.07;   // above and below the digits' ink, inside the red field
constexpr double kFootRow = 0.30;
constexpr double kBarGap = 0.05;
constexpr double kBarThickness = 0.06;
constexpr double kFootText = 0.20;

constexpr std::string_view kLeastText = "00:00";
constexpr std::string_view kClockPattern = "00:00:00";

double DigitRowEm(const DigitFace& face) { return face.inkAbove + face.inkBelow + 2 * kDigitPadding; }

double CountdownHeightEm(const DigitFace& face) { return kSideRow + DigitRowEm(face) + kFootRow; }

// The countdown's boxes, as large as `cell` allows, centred in it.
CountdownBoxes FitCountdown(const Box& cell, double pixels, double widthEm, const DigitFace& face) {
    CountdownBoxes boxes;
    const double width = widthEm * pixels;
    const double height = CountdownHeightEm(face) * pixels;
    const double left = cell.x + (cell.width - width) / 2;
    const double top = cell.y + (cell.height - height) / 2;
    boxes.digitPixels = pixels;
    boxes.sidePixels = kSideText * pixels;
    boxes.footPixels = kFootText * pixels;
    boxes.side = {left, top, width, kSideRow * pixels};
    boxes.digits = {left, boxes.side.Bottom(), width, DigitRowEm(face) * pixels};
    boxes.baseline = boxes.digits.y + (kDigitPadding + face.inkAbove) * pixels;
    boxes.foot = {left, boxes.digits.Bottom(), width, kFootRow * pixels};
    boxes.bar = {left, boxes.foot.y + kBarGap * pixels, width, kBarThickness * pixels};
    return boxes;
}

// The largest pixel size at which a countdown of `widthEm` fits `cell`.
double PixelsFor(const Box& cell, double widthEm, const DigitFace& face) {
    if (widthEm <= 0) return 0;
    return std::max(0.0, std::min(cell.height / CountdownHeightEm(face), cell.width / widthEm));
}

// The wall clock, small in the bottom-right corner.
Box ClockBox(double width, double height, double margin, double pixels, const DigitFace& face) {
    const double clockWidth = CellsWidth(kClockPattern, face) * pixels;
    const double clockHeight = kLineOfText * pixels;
    return {width - margin - clockWidth, height - margin - clockHeight, clockWidth, clockHeight};
}

}  // namespace

std::vector<int> AudienceScreenOrder(const std::vector<Box>& screens) {
    std::vector<int> order(screens.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Box& left = screens[static_cast<std::size_t>(a)];
        const Box& right = screens[static_cast<std::size_t>(b)];
        return left.x != right.x ? left.x < right.x : left.y < right.y;
    });
    return order;
}

AudienceScreenChoice ChooseAudienceScreen(const std::vector<Box>& screens, int mainScreen, int configured) {
    AudienceScreenChoice choice;
    if (screens.empty()) return choice;
    const std::vector<int> order = AudienceScreenOrder(screens);
    if (configured >= 1 && configured <= static_cast<int>(order.size())) {
        choice.index = order[static_cast<std::size_t>(configured - 1)];
        return choice;
    }
    choice.numberUnknown = configured != 0;
    double largest = -1;
    for (const int index : order) {
        // With one screen the view covers the main window; with more it keeps off it.
        if (index == mainScreen && screens.size() > 1) continue;
        const Box& screen = screens[static_cast<std::size_t>(index)];
        const double area = screen.width * screen.height;
        if (area > largest) {
            largest = area;
            choice.index = index;
        }
    }
    return choice;
}

double CellsWidth(std::string_view text, const DigitFace& face) {
    double em = 0;
    for (const char c : text) em += c == ':' ? face.colonAdvance : face.digitAdvance;
    return em;
}

StageLayout LayOutStage(double width, double height, int shown, std::string_view widestText, const DigitFace& face) {
    StageLayout layout;
    const double margin = kMargin * std::min(width, height);
    layout.captionPixels = kCaptionText * height;
    layout.caption = {margin, margin, width - 2 * margin, kCaptionBand * height};
    layout.clockPixels = kClockText * height;
    layout.clock = ClockBox(width, height, margin, layout.clockPixels, face);
    if (shown <= 0) return layout;

    const double top = layout.caption.Bottom() + margin;
    const Box area{margin, top, width - 2 * margin, std::max(0.0, layout.clock.y - margin / 2 - top)};
    const double widthEm = CellsWidth(widestText.size() > kLeastText.size() ? widestText : kLeastText, face);
    if (shown == 1) {
        layout.countdowns.push_back(FitCountdown(area, PixelsFor(area, widthEm, face), widthEm, face));
        return layout;
    }

    // Two margins between columns, so the two lines of digits never read as one.
    const double halfWidth = std::max(0.0, (area.width - 2 * margin) / 2);
    const double halfHeight = std::max(0.0, (area.height - margin) / 2);
    const Box left{area.x, area.y, halfWidth, area.height};
    const Box upper{area.x, area.y, area.width, halfHeight};
    const double besidePixels = PixelsFor(left, widthEm, face);
    const double stackedPixels = PixelsFor(upper, widthEm, face);
    layout.sideBySide = DigitRowEm(face) * besidePixels >= kQuarter * height || besidePixels >= stackedPixels;
    if (layout.sideBySide) {
        const Box right{area.Right() - halfWidth, area.y, halfWidth, area.height};
        layout.countdowns.push_back(FitCountdown(left, besidePixels, widthEm, face));
        layout.countdowns.push_back(FitCountdown(right, besidePixels, widthEm, face));
    } else {
        const Box lower{area.x, area.Bottom() - halfHeight, area.width, halfHeight};
        layout.countdowns.push_back(FitCountdown(upper, stackedPixels, widthEm, face));
        layout.countdowns.push_back(FitCountdown(lower, stackedPixels, widthEm, face));
    }
    return layout;
}

HomeLayout LayOutHome(double width, double height, const DigitFace& face) {
    HomeLayout layout;
    const double margin = kMargin * std::min(width, height);
    layout.clockPixels = kClockText * height;
    layout.clock = ClockBox(width, height, margin, layout.clockPixels, face);
    layout.titlePixels = kHomeTitle * height;
    layout.captionPixels = kHomeCaption * height;
    const double titleHeight = kLineOfText * layout.titlePixels;
    const double captionHeight = kLineOfText * layout.captionPixels;
    const double block = titleHeight + kHomeGap * height + captionHeight;
    const double top = std::max(margin, (layout.clock.y - block) / 2);
    layout.title = {margin, top, width - 2 * margin, titleHeight};
    layout.caption = {margin, layout.title.Bottom() + kHomeGap * height, width - 2 * margin, captionHeight};
    return layout;
}

std::vector<Box> TextCells(const Box& line, std::string_view text, double pixels, const DigitFace& face) {
    std::vector<Box> cells;
    double x = line.x + (line.width - CellsWidth(text, face) * pixels) / 2;
    for (const char c : text) {
        const double advance = (c == ':' ? face.colonAdvance : face.digitAdvance) * pixels;
        cells.push_back({x, line.y, advance, line.height});
        x += advance;
    }
    return cells;
}

double BarShare(int secondsLeft, int allowance) {
    if (allowance <= 0) return 0;
    return std::clamp(static_cast<double>(secondsLeft) / allowance, 0.0, 1.0);
}

}  // namespace platform
