// What the audience view paints, in which colour role, on a fake measurer: the
// rules every front end paints alike (the toolkits' own measuring and painting
// are tested in tests/platform).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <optional>

#include "platform/AudienceScene.h"
#include "support/FakeAudienceMeasurer.h"

namespace {

using platform::AudienceFrame;
using platform::AudiencePiece;
using platform::AudienceRole;
using Pieces = std::vector<AudiencePiece>;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

platform::AudienceCountdown Shown(const std::string& text, const std::string& side, int left, bool running, bool red) {
    return {true, text, side, left, 180, running, red, false, 0};
}

AudienceFrame Stage(platform::AudienceCountdown first) {
    AudienceFrame frame;
    frame.home = false;
    frame.title = "华语辩论赛";
    frame.caption = "正方一辩发言";
    frame.clock = "14:03:27";
    frame.countdowns[0] = std::move(first);
    return frame;
}

class Scene : public testing::Test {
protected:
    Pieces Compose(const AudienceFrame& frame, int width = kWidth, int height = kHeight) {
        return platform::ComposeAudience(frame, width, height, platform::MeasureDigitFace(measurer), measurer);
    }
    testsupport::FakeAudienceMeasurer measurer;
};

// A stage's pieces in order: the caption, then for each countdown its side, the field behind the
// digits, one piece a character of its text, and the bar's track and fill (or, at time up, "超时 "
// and the overtime's characters); the clock's characters last.
struct CountdownPieces {
    const AudiencePiece* side = nullptr;
    const AudiencePiece* field = nullptr;
    std::vector<const AudiencePiece*> digits;
    std::vector<const AudiencePiece*> foot;  // the track and the bar, or the overtime
};

std::vector<CountdownPieces> Countdowns(const Pieces& pieces, const AudienceFrame& frame) {
    std::vector<CountdownPieces> found;
    std::size_t next = 1;  // after the caption
    for (const platform::AudienceCountdown& countdown : frame.countdowns) {
        if (!countdown.shown) continue;
        CountdownPieces parts;
        parts.side = &pieces.at(next++);
        parts.field = &pieces.at(next++);
        for (std::size_t i = 0; i < countdown.text.size(); ++i) parts.digits.push_back(&pieces.at(next++));
        const std::size_t foot = countdown.timeUp ? 1 + std::string("00:00").size() : 2;
        for (std::size_t i = 0; i < foot; ++i) parts.foot.push_back(&pieces.at(next++));
        found.push_back(parts);
    }
    return found;
}
// The pieces pointed into must outlive the answer.
std::vector<CountdownPieces> Countdowns(Pieces&&, const AudienceFrame&) = delete;

// ---- The bar and the digits turn red with the countdown ----

struct RedCase {
    const char* name;
    int secondsLeft;
    bool running, red;
    AudienceRole digits, bar;
};

class RedRule : public Scene, public testing::WithParamInterface<RedCase> {};

// The red is the countdown's own (its 30 seconds, carried by the frame): the scene never counts
// seconds itself, so a frame that is not red keeps a plain bar whatever time it shows.
TEST_P(RedRule, DigitsAndBarFollowTheFramesRed) {
    const RedCase& c = GetParam();
    const AudienceFrame frame = Stage(Shown("00:31", "正方", c.secondsLeft, c.running, c.red));
    const Pieces pieces = Compose(frame);
    const CountdownPieces countdown = Countdowns(pieces, frame).at(0);
    for (const AudiencePiece* digit : countdown.digits) EXPECT_EQ(digit->colour, c.digits) << digit->text;
    EXPECT_EQ(countdown.foot[0]->fill, AudienceRole::BarTrack);
    EXPECT_EQ(countdown.foot[1]->fill, c.bar);
    EXPECT_EQ(countdown.side->colour, c.running ? AudienceRole::Running : AudienceRole::Text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RedRule,
    testing::Values(RedCase{"RedFromTheCountdown", 30, true, true, AudienceRole::Warning, AudienceRole::BarWarning},
                    RedCase{"RedWhilePaused", 12, false, true, AudienceRole::Warning, AudienceRole::BarWarning},
                    RedCase{"NeverRestatedFromTheSeconds", 5, true, false, AudienceRole::Text, AudienceRole::Bar},
                    RedCase{"RedWhateverTheSeconds", 95, true, true, AudienceRole::Warning, AudienceRole::BarWarning}),
    [](const testing::TestParamInfo<RedCase>& info) { return info.param.name; });

// The bar is the share of the allowance left, across its track, rounded to whole pixels.
TEST_F(Scene, TheBarIsTheShareLeftOfItsTrack) {
    for (const int left : {180, 90, 1, 0}) {
        const AudienceFrame frame = Stage(Shown("01:30", "正方", left, true, false));
        const Pieces pieces = Compose(frame);
        const CountdownPieces countdown = Countdowns(pieces, frame).at(0);
        const platform::PixelBox track = countdown.foot[0]->box;
        const platform::PixelBox bar = countdown.foot[1]->box;
        EXPECT_EQ(bar.left, track.left);
        EXPECT_NEAR(bar.Width(), track.Width() * left / 180.0, 1.0) << left;
    }
}

// ---- Free debate: the waiting side is dimmed ----

struct WaitingCase {
    const char* name;
    bool firstRuns, secondRuns, secondRed;
    AudienceRole firstSide, firstDigits, secondSide, secondDigits;
};

class WaitingSide : public Scene, public testing::WithParamInterface<WaitingCase> {};

TEST_P(WaitingSide, IsDimmedOnlyWhileTheOtherRuns) {
    const WaitingCase& c = GetParam();
    AudienceFrame frame = Stage(Shown("01:05", "正方", 65, c.firstRuns, false));
    frame.countdowns[1] = Shown("100:00", "反方", 6000, c.secondRuns, c.secondRed);
    const Pieces pieces = Compose(frame);
    const std::vector<CountdownPieces> shown = Countdowns(pieces, frame);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].side->colour, c.firstSide);
    EXPECT_EQ(shown[1].side->colour, c.secondSide);
    for (const AudiencePiece* digit : shown[0].digits) EXPECT_EQ(digit->colour, c.firstDigits);
    for (const AudiencePiece* digit : shown[1].digits) EXPECT_EQ(digit->colour, c.secondDigits);
    // The longer text sets the size both share.
    EXPECT_EQ(shown[0].digits[0]->style, shown[1].digits[0]->style);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaitingSide,
    testing::Values(WaitingCase{"FirstRuns", true, false, false, AudienceRole::Running, AudienceRole::Text,
                                AudienceRole::Dimmed, AudienceRole::Dimmed},
                    WaitingCase{"SecondRuns", false, true, false, AudienceRole::Dimmed, AudienceRole::Dimmed,
                                AudienceRole::Running, AudienceRole::Text},
                    WaitingCase{"NeitherRuns", false, false, false, AudienceRole::Text, AudienceRole::Text,
                                AudienceRole::Text, AudienceRole::Text},
                    // The last half minute shows even on the waiting side.
                    WaitingCase{"WaitingButRed", true, false, true, AudienceRole::Running, AudienceRole::Text,
                                AudienceRole::Dimmed, AudienceRole::Warning}),
    [](const testing::TestParamInfo<WaitingCase>& info) { return info.param.name; });

// A hidden countdown takes no place: the one shown is as large as a countdown alone.
TEST_F(Scene, AHiddenCountdownTakesNoPlace) {
    AudienceFrame alone = Stage(Shown("01:05", "反方", 65, true, false));
    AudienceFrame second = alone;
    second.countdowns[1] = second.countdowns[0];
    second.countdowns[0].shown = false;
    const Pieces one = Compose(alone);
    const Pieces other = Compose(second);
    ASSERT_EQ(one.size(), other.size());
    EXPECT_EQ(Countdowns(other, second).at(0).digits[0]->box, Countdowns(one, alone).at(0).digits[0]->box);
}

// ---- Time up: the red field and the overtime ----

TEST_F(Scene, AtTimeUpTheDigitsStandOnARedFieldAndTheOvertimeReplacesTheBar) {
    AudienceFrame frame = Stage(Shown("00:00", "正方", 0, false, true));
    const Pieces running = Compose(frame);
    const CountdownPieces before = Countdowns(running, frame).at(0);
    EXPECT_FALSE(before.field->fill.has_value());  // the field's place is kept, unfilled, until time up

    frame.countdowns[0].timeUp = true;
    frame.countdowns[0].overtimeSeconds = 67;
    const Pieces timeUp = Compose(frame);
    const CountdownPieces after = Countdowns(timeUp, frame).at(0);
    EXPECT_EQ(after.field->fill, AudienceRole::OvertimeField);
    EXPECT_EQ(after.field->box, before.field->box);
    // The field reaches past the first and the last digit.
    EXPECT_LT(after.field->box.left, after.digits.front()->box.left);
    EXPECT_GT(after.field->box.right, after.digits.back()->box.right);
    for (const AudiencePiece* digit : after.digits) EXPECT_EQ(digit->colour, AudienceRole::Text);
    std::string overtime;
    for (const AudiencePiece* piece : after.foot) {
        EXPECT_EQ(piece->colour, AudienceRole::Overtime) << piece->text;
        EXPECT_FALSE(piece->fill.has_value()) << piece->text;  // no bar
        overtime += piece->text;
    }
    EXPECT_EQ(overtime, "超时 01:07");
}

// ---- Captions that do not fit ----

// One line: fits at its size, else shrinks, and at 40 % of it is cut short with "…"; always
// centred in its box, which is on the screen.
TEST_F(Scene, ACaptionShrinksThenIsCutShortAndStaysInItsBox) {
    std::string thousand;
    for (int i = 0; i < 1000; ++i) thousand += i % 2 ? "长" : "W";
    const auto caption = [&](const std::string& text, int width, int height) {
        AudienceFrame frame = Stage(Shown("02:15", "正方", 135, true, false));
        frame.caption = text;
        return Compose(frame, width, height).front();
    };
    for (const auto& [width, height] : {std::pair(1920, 1080), {1080, 1920}, {320, 200}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const AudiencePiece full = caption("辩", width, height);
        // Half again as wide as its box at full size: fits once shrunk, above the least size.
        std::string longer;
        for (int i = 0; i < 3 * full.box.Width() / full.style.pixels / 2; ++i) longer += "辩";
        const AudiencePiece shrunk = caption(longer, width, height);
        const AudiencePiece cut = caption(thousand, width, height);
        for (const AudiencePiece& piece : {full, shrunk, cut}) {
            const double advance = measurer.Advance(piece.style, piece.text);
            EXPECT_LE(advance, piece.box.Width() + 1.0);
            EXPECT_NEAR(piece.originX - piece.box.left, piece.box.right - (piece.originX + advance), 1.0);
            EXPECT_TRUE(piece.box.left >= 0 && piece.box.top >= 0 && piece.box.right <= width &&
                        piece.box.bottom <= height);
        }
        EXPECT_EQ(full.text, "辩");
        EXPECT_LT(shrunk.style.pixels, full.style.pixels);
        EXPECT_EQ(shrunk.text, longer);  // whole
        EXPECT_NEAR(cut.style.pixels, full.style.pixels * 0.4, 1.0);
        EXPECT_TRUE(cut.text.ends_with("…"));
        EXPECT_TRUE(thousand.starts_with(cut.text.substr(0, cut.text.size() - std::string("…").size())));
    }
}

// ---- The home page ----

TEST_F(Scene, TheHomePageShowsTheTitleItsCaptionIfAnyAndTheClock) {
    AudienceFrame home;
    home.title = "华语辩论赛\r\n决赛";
    home.caption = "2026 年校际辩论赛";
    home.clock = "09:30:00";
    const Pieces pieces = Compose(home);
    using platform::AudienceFace;
    const auto piece = [&](std::size_t i) { return std::tuple(pieces[i].text, pieces[i].colour, pieces[i].style.face); };
    ASSERT_EQ(pieces.size(), 2 + home.clock.size());
    EXPECT_EQ(std::pair(pieces[0].text, pieces[0].colour), std::pair(std::string("华语辩论赛 决赛"), AudienceRole::Text));
    EXPECT_EQ(piece(1), std::tuple(std::string("2026 年校际辩论赛"), AudienceRole::Secondary, AudienceFace::Caption));
    EXPECT_EQ(piece(pieces.size() - 1), std::tuple(std::string("0"), AudienceRole::Secondary, AudienceFace::Timer));
    home.caption.clear();
    EXPECT_EQ(Compose(home).size(), 1 + home.clock.size());
}

// ---- What is painted again ----

// A second of a running countdown: the digit that moved, the bar and the clock's last digit, no more.
TEST_F(Scene, ASecondLaterOnlyTheChangedPiecesArePaintedAgain) {
    const AudienceFrame before = Stage(Shown("02:15", "正方", 135, true, false));
    AudienceFrame after = Stage(Shown("02:14", "正方", 134, true, false));
    after.clock = "14:03:28";
    const Pieces old = Compose(before);
    const Pieces next = Compose(after);
    const std::vector<platform::PixelBox> changed = platform::ChangedBoxes(old, next, kWidth, kHeight);
    const CountdownPieces countdown = Countdowns(next, after).at(0);
    const std::vector<platform::PixelBox> expected = {countdown.digits[4]->box, countdown.digits[4]->box,
                                                      Countdowns(old, before)[0].foot[1]->box,
                                                      countdown.foot[1]->box, next.back().box, next.back().box};
    EXPECT_EQ(changed, expected);
    EXPECT_TRUE(platform::ChangedBoxes(next, next, kWidth, kHeight).empty());
    // Another page, or another number of countdowns, is a new picture.
    after.countdowns[1] = Shown("00:20", "反方", 20, false, true);
    const std::vector<platform::PixelBox> whole = {{0, 0, kWidth, kHeight}};
    EXPECT_EQ(platform::ChangedBoxes(old, Compose(after), kWidth, kHeight), whole);
}

// ---- The countdown face ----

TEST_F(Scene, TheFaceIsMeasuredAndAFaceWithoutDigitsTakesTheDesignsProportions) {
    const platform::DigitFace measured = platform::MeasureDigitFace(measurer);
    EXPECT_DOUBLE_EQ(measured.digitAdvance, testsupport::FakeAudienceMeasurer::kNarrow);
    EXPECT_DOUBLE_EQ(measured.inkAbove, 0.7);
    measurer.digitless = true;
    const platform::DigitFace design;
    const platform::DigitFace fallback = platform::MeasureDigitFace(measurer);
    EXPECT_EQ((std::tuple(fallback.digitAdvance, fallback.colonAdvance, fallback.inkAbove)),
              (std::tuple(design.digitAdvance, design.colonAdvance, design.inkAbove)));
    // Even then the countdown fills its line, in cells of the design's width.
    const AudienceFrame frame = Stage(Shown("02:15", "正方", 135, true, false));
    const Pieces pieces = Compose(frame);
    EXPECT_GT(Countdowns(pieces, frame).at(0).digits[0]->box.Width(), 0);
}

// ---- The hall's palette ----

int Grey(platform::Rgb colour) { return (colour.red + colour.green + colour.blue) / 3; }

// What a projector must keep apart: dimmed below plain text, warnings red, the bar visible on its track.
TEST(AudiencePalette, KeepsTheRolesApart) {
    using platform::AudienceColour;
    EXPECT_LT(Grey(AudienceColour(AudienceRole::Dimmed)) + 64, Grey(AudienceColour(AudienceRole::Text)));
    EXPECT_LT(Grey(AudienceColour(AudienceRole::BarTrack)) + 64, Grey(AudienceColour(AudienceRole::Bar)));
    for (const AudienceRole red : {AudienceRole::Running, AudienceRole::Warning, AudienceRole::Overtime,
                                   AudienceRole::BarWarning, AudienceRole::OvertimeField}) {
        const platform::Rgb colour = AudienceColour(red);
        EXPECT_GT(colour.red, 2 * std::max(colour.green, colour.blue)) << static_cast<int>(red);
    }
    // The overtime's digits stay readable on the field.
    EXPECT_NE(AudienceColour(AudienceRole::OvertimeField), AudienceColour(AudienceRole::Text));
}

}  // namespace
