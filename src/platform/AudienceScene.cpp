#include "platform/AudienceScene.h"

#include <algorithm>
#include <cmath>

#include "platform/AudienceText.h"

namespace platform {
namespace {

// A caption shrinks to this share of its size before it is cut short with "…".
constexpr double kLeastShrink = 0.4;
// Beyond any screen: no size above this is asked of a font.
constexpr double kLargestPixels = 4000;
// The size the countdown face is measured at.
constexpr int kMeasurePixels = 200;
// The red field reaches this far beyond the digits on either side, in their size.
constexpr double kFieldReach = 0.06;

int Pixels(double pixels) { return std::max(1, static_cast<int>(std::lround(std::min(pixels, kLargestPixels)))); }

// The smallest rectangle of whole pixels that holds `box`.
PixelBox ToPixels(const Box& box) {
    return {static_cast<int>(std::floor(box.x)), static_cast<int>(std::floor(box.y)),
            static_cast<int>(std::ceil(box.Right())), static_cast<int>(std::ceil(box.Bottom()))};
}

AudiencePiece Fill(const Box& box, std::optional<AudienceRole> fill) {
    AudiencePiece piece;
    piece.box = ToPixels(box);
    piece.fill = fill;
    return piece;
}

AudiencePiece Text(const Box& box, std::string text, TextStyle style, AudienceRole colour, double x, double y) {
    AudiencePiece piece;
    piece.box = ToPixels(box);
    piece.text = std::move(text);
    piece.style = style;
    piece.colour = colour;
    piece.originX = x;
    piece.originY = y;
    return piece;
}

double CellBaseline(const Box& line, double pixels, const DigitFace& digits) {
    return line.y + (line.height + (digits.inkAbove - digits.inkBelow) * pixels) / 2;
}

class Composer {
public:
    Composer(const DigitFace& digits, AudienceMeasurer& measurer) : digits_(digits), measure_(measurer) {}

    // One line of text, centred in `box`, shrinking from `pixels` until it fits
    // and cut short with "…" when even the least size is too wide.
    void FittedLine(const std::string& text, AudienceFace face, double pixels, const Box& box, AudienceRole colour) {
        TextStyle style{face, Pixels(pixels)};
        const double width = measure_.Advance(style, text);
        if (width > box.width && width > 0) {
            // Advances grow with the size, near enough in proportion; the loop mends the rounding.
            const int least = Pixels(pixels * kLeastShrink);
            style.pixels = std::max(least, Pixels(pixels * box.width / width));
            while (style.pixels > least && measure_.Advance(style, text) > box.width) --style.pixels;
        }
        std::string shown = measure_.FitWithEllipsis(style, text, box.width);
        const double left = box.x + (box.width - measure_.Advance(style, shown)) / 2;
        const double baseline = box.y + (box.height + measure_.Ascent(style) - measure_.Descent(style)) / 2;
        pieces_.push_back(Text(box, std::move(shown), style, colour, left, baseline));
    }

    // A text in cells of equal width for every digit, so it never shifts as it counts.
    void Cells(const Box& line, const std::string& text, double pixels, double baseline, AudienceRole colour) {
        const TextStyle style{AudienceFace::Timer, Pixels(pixels)};
        const std::vector<Box> cells = TextCells(line, text, pixels, digits_);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            std::string glyph(1, text[i]);
            const double left = cells[i].x + (cells[i].width - measure_.Advance(style, glyph)) / 2;
            pieces_.push_back(Text(cells[i], std::move(glyph), style, colour, left, baseline));
        }
    }

    // "超时" and the overtime in cells, centred in the countdown's foot.
    void Overtime(const CountdownBoxes& boxes, int overtime) {
        const std::string count = MinutesAndSeconds(overtime);
        const std::string label = "超时 ";
        const TextStyle style{AudienceFace::Timer, Pixels(boxes.footPixels)};
        const double labelWidth = measure_.Advance(style, label);
        const double cellsWidth = CellsWidth(count, digits_) * boxes.footPixels;
        const double left = boxes.foot.x + (boxes.foot.width - labelWidth - cellsWidth) / 2;
        const double baseline = CellBaseline(boxes.foot, boxes.footPixels, digits_);
        pieces_.push_back(Text({left, boxes.foot.y, labelWidth, boxes.foot.height}, label, style,
                               AudienceRole::Overtime, left, baseline));
        Cells({left + labelWidth, boxes.foot.y, cellsWidth, boxes.foot.height}, count, boxes.footPixels, baseline,
              AudienceRole::Overtime);
    }

    // The side, the field behind the digits (filled at time up), the digits,
    // and under them the bar or, at time up, the overtime. The digits' red is
    // the countdown's own, as the frame carries it.
    void Countdown(const AudienceCountdown& countdown, const CountdownBoxes& boxes, bool waiting) {
        const AudienceRole rest = waiting ? AudienceRole::Dimmed : AudienceRole::Text;
        FittedLine(countdown.side, AudienceFace::Timer, boxes.sidePixels, boxes.side,
                   countdown.running ? AudienceRole::Running : rest);

        const double reach = kFieldReach * boxes.digitPixels;
        pieces_.push_back(Fill({boxes.digits.x - reach, boxes.digits.y, boxes.digits.width + 2 * reach,
                                boxes.digits.height},
                               countdown.timeUp ? std::optional(AudienceRole::OvertimeField) : std::nullopt));
        const AudienceRole digits = countdown.timeUp ? AudienceRole::Text
                                    : countdown.red  ? AudienceRole::Warning
                                                     : rest;
        Cells(boxes.digits, countdown.text, boxes.digitPixels, boxes.baseline, digits);

        if (countdown.timeUp) {
            Overtime(boxes, countdown.overtimeSeconds);
            return;
        }
        pieces_.push_back(Fill(boxes.bar, AudienceRole::BarTrack));
        Box filled = boxes.bar;
        filled.width = std::round(boxes.bar.width * BarShare(countdown.secondsLeft, countdown.allowance));
        pieces_.push_back(Fill(filled, countdown.red ? AudienceRole::BarWarning : AudienceRole::Bar));
    }

    void Clock(const std::string& clock, const Box& box, double pixels) {
        Cells(box, clock, pixels, CellBaseline(box, pixels, digits_), AudienceRole::Secondary);
    }

    std::vector<AudiencePiece> Take() { return std::move(pieces_); }

private:
    const DigitFace& digits_;
    AudienceMeasurer& measure_;
    std::vector<AudiencePiece> pieces_;
};

}  // namespace

Rgb AudienceColour(AudienceRole role) {
    switch (role) {
    case AudienceRole::Text: return {0xF2, 0xF2, 0xF2};
    case AudienceRole::Dimmed: return {0x78, 0x78, 0x78};
    case AudienceRole::Running:
    case AudienceRole::Warning:
    case AudienceRole::Overtime:
    case AudienceRole::BarWarning: return {0xFF, 0x3B, 0x30};
    case AudienceRole::Secondary: return {0xB0, 0xB0, 0xB0};
    case AudienceRole::OvertimeField: return {0xC8, 0x10, 0x10};
    case AudienceRole::BarTrack: return {0x3A, 0x3A, 0x3A};
    case AudienceRole::Bar: return {0xE8, 0xE8, 0xE8};
    }
    return {0xF2, 0xF2, 0xF2};
}

DigitFace MeasureDigitFace(AudienceMeasurer& measurer) {
    const TextStyle style{AudienceFace::Timer, kMeasurePixels};
    double widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) widest = std::max(widest, measurer.Advance(style, {&digit, 1}));
    const AudienceMeasurer::Ink ink = measurer.InkOf(style, "0123456789:");
    DigitFace face;
    // A face without digits measures nothing; the design's proportions stand in for it.
    if (widest > 0 && ink.above + ink.below > 0) {
        face.digitAdvance = widest / kMeasurePixels;
        face.colonAdvance = std::max(measurer.Advance(style, ":"), widest / 4) / kMeasurePixels;
        face.inkAbove = std::max(0.0, ink.above) / kMeasurePixels;
        face.inkBelow = std::max(0.0, ink.below) / kMeasurePixels;
    }
    return face;
}

std::vector<AudiencePiece> ComposeAudience(const AudienceFrame& frame, int width, int height,
                                           const DigitFace& digits, AudienceMeasurer& measurer) {
    Composer scene(digits, measurer);
    if (frame.home) {
        const HomeLayout layout = LayOutHome(width, height, digits);
        scene.FittedLine(OneLine(frame.title), AudienceFace::Caption, layout.titlePixels, layout.title,
                         AudienceRole::Text);
        if (!frame.caption.empty()) {
            scene.FittedLine(OneLine(frame.caption), AudienceFace::Caption, layout.captionPixels, layout.caption,
                             AudienceRole::Secondary);
        }
        scene.Clock(frame.clock, layout.clock, layout.clockPixels);
        return scene.Take();
    }

    const ShownCountdowns countdowns = CountdownsShown(frame);
    const StageLayout layout =
        LayOutStage(width, height, static_cast<int>(countdowns.shown.size()), countdowns.widest, digits);
    scene.FittedLine(OneLine(frame.caption), AudienceFace::Caption, layout.captionPixels, layout.caption,
                     AudienceRole::Text);
    for (std::size_t i = 0; i < countdowns.shown.size(); ++i) {
        scene.Countdown(*countdowns.shown[i].countdown, layout.countdowns[i], countdowns.shown[i].waiting);
    }
    scene.Clock(frame.clock, layout.clock, layout.clockPixels);
    return scene.Take();
}

std::vector<PixelBox> ChangedBoxes(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                                   int width, int height) {
    if (before.size() != after.size()) return {PixelBox{0, 0, width, height}};
    std::vector<PixelBox> changed;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        changed.push_back(before[i].box);
        changed.push_back(after[i].box);
    }
    return changed;
}

}  // namespace platform
