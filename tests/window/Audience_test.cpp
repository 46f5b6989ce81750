// The audience view's rules that need no screen: which screen it takes, where
// its countdowns go at each shape of screen, and how its settings are read.
#include <gtest/gtest.h>

#include "platform/AudienceLayout.h"
#include "support/Codec.h"
#include "support/MemoryFileSystem.h"
#include "window/AudienceConfig.h"

namespace {

using platform::Box;

// ---- Which screen ----

const Box kLaptop{0, 0, 1366, 768};
const Box kProjector{1366, 0, 1920, 1080};
const Box kSmallRight{3286, 0, 1280, 1024};
const Box kBelow{0, 768, 1920, 1080};

struct ScreenCase { const char* name; std::vector<Box> screens; int main, configured, chosen; bool unknown; };
class ScreenChoice : public testing::TestWithParam<ScreenCase> {};
TEST_P(ScreenChoice, FollowsTheRules) {
    const ScreenCase& c = GetParam();
    const auto choice = platform::ChooseAudienceScreen(c.screens, c.main, c.configured);
    EXPECT_EQ(std::pair(choice.index, choice.numberUnknown), std::pair(c.chosen, c.unknown));
}
INSTANTIATE_TEST_SUITE_P(
    Table, ScreenChoice,
    testing::Values(
        ScreenCase{"one screen is shared with the main window", {kLaptop}, 0, 0, 0, false},
        ScreenCase{"the other screen", {kLaptop, kProjector}, 0, 0, 1, false},
        ScreenCase{"the other screen, main on the projector", {kLaptop, kProjector}, 1, 0, 0, false},
        // Qt lists screens in no promised order: the setting counts by position.
        ScreenCase{"the largest other screen", {kSmallRight, kLaptop, kProjector}, 1, 0, 2, false},
        ScreenCase{"equal screens: the leftmost other", {kProjector, kLaptop, {5000, 0, 1920, 1080}}, 1, 0, 0, false},
        ScreenCase{"main unknown: the largest", {kLaptop, kProjector}, -1, 0, 1, false},
        ScreenCase{"numbered left to right", {kSmallRight, kLaptop, kProjector}, 1, 1, 1, false},
        ScreenCase{"the main window's own screen if named", {kSmallRight, kLaptop, kProjector}, 1, 2, 2, false},
        ScreenCase{"third from the left", {kSmallRight, kLaptop, kProjector}, 1, 3, 0, false},
        ScreenCase{"then top to bottom", {kBelow, kLaptop}, 1, 2, 0, false},
        ScreenCase{"a number beyond the screens", {kLaptop, kProjector}, 0, 3, 1, true},
        ScreenCase{"a number beyond the only screen", {kLaptop}, 0, 2, 0, true},
        ScreenCase{"no screen at all", {}, -1, 0, -1, false}),
    [](const testing::TestParamInfo<ScreenCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// ---- What goes where ----

// The shipped Hei face's proportions.
const platform::DigitFace kHei{0.6, 0.3, 0.70, 0.01};

bool Inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x - 0.5 && inner.y >= outer.y - 0.5 && inner.Right() <= outer.Right() + 0.5 &&
           inner.Bottom() <= outer.Bottom() + 0.5;
}

bool Overlap(const Box& a, const Box& b) {
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

struct ScreenShape { double width, height; };

class StageLayout : public testing::TestWithParam<ScreenShape> {};

// Whatever the screen, every box is on it, and the caption, the countdowns and the clock keep apart.
TEST_P(StageLayout, EveryBoxOnTheScreenAndApart) {
    const auto [width, height] = GetParam();
    const Box screen{0, 0, width, height};
    for (const int shown : {1, 2}) {
        for (const char* text : {"00:00", "100:00"}) {
            SCOPED_TRACE(std::to_string(shown) + " " + text);
            const platform::StageLayout layout = platform::LayOutStage(width, height, shown, text, kHei);
            ASSERT_EQ(layout.countdowns.size(), static_cast<std::size_t>(shown));
            EXPECT_TRUE(Inside(layout.caption, screen));
            EXPECT_TRUE(Inside(layout.clock, screen));
            for (const platform::CountdownBoxes& boxes : layout.countdowns) {
                for (const Box& box : {boxes.side, boxes.digits, boxes.foot, boxes.bar}) {
                    EXPECT_TRUE(Inside(box, screen));
                    EXPECT_FALSE(Overlap(box, layout.caption));
                    EXPECT_FALSE(Overlap(box, layout.clock));
                }
                EXPECT_TRUE(Inside(boxes.bar, boxes.foot));
                const std::vector<Box> cells = platform::TextCells(boxes.digits, text, boxes.digitPixels, kHei);
                EXPECT_TRUE(Inside(cells.front(), boxes.digits) && Inside(cells.back(), boxes.digits));
            }
            if (shown == 2) {
                EXPECT_FALSE(Overlap(layout.countdowns[0].digits, layout.countdowns[1].digits));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, StageLayout,
                         testing::Values(ScreenShape{1920, 1080}, ScreenShape{1366, 768}, ScreenShape{1024, 768},
                                         ScreenShape{1280, 1024}, ScreenShape{1080, 1920}, ScreenShape{640, 360},
                                         ScreenShape{3840, 2160}, ScreenShape{0, 0}));

TEST(StageLayout, OneCountdownIsAsLargeAsTheScreenAllows) {
    // Wide screens: the line of digits takes at least 40 % of the height.
    for (const auto [width, height] : {ScreenShape{1920, 1080}, {1366, 768}, {3840, 2160}}) {
        const auto boxes = platform::LayOutStage(width, height, 1, "02:15", kHei).countdowns.at(0);
        EXPECT_GE(boxes.digits.height, 0.40 * height) << width << "x" << height;
    }
    // 4:3: the width is the limit, and the digits span it less the margins.
    const auto boxes = platform::LayOutStage(1024, 768, 1, "02:15", kHei).countdowns.at(0);
    const double margin = 0.025 * 768;
    EXPECT_NEAR(platform::CellsWidth("02:15", kHei) * boxes.digitPixels, 1024 - 2 * margin, 1);
}

TEST(StageLayout, DigitsKeepTheirCellsAsTheyCount) {
    const auto boxes = platform::LayOutStage(1920, 1080, 1, "00:00", kHei).countdowns.at(0);
    // "1" is narrower than "0" in most faces; in cells the colon stays put.
    EXPECT_EQ(platform::TextCells(boxes.digits, "01:11", boxes.digitPixels, kHei)[2],
              platform::TextCells(boxes.digits, "00:00", boxes.digitPixels, kHei)[2]);
}

TEST(StageLayout, BarIsTheShareOfTheAllowanceLeft) {
    const std::vector<std::tuple<int, int, double>> cases = {
        {180, 180, 1}, {90, 180, 0.5}, {0, 180, 0}, {200, 180, 1}, {-5, 180, 0}, {10, 0, 0}, {10, -20, 0}};
    for (const auto& [left, allowance, share] : cases) {
        EXPECT_DOUBLE_EQ(platform::BarShare(left, allowance), share) << left << "/" << allowance;
    }
}

// ---- The settings ----

struct SettingCase { std::string screen; int read; bool problem; };

class AudienceSettings : public testing::TestWithParam<SettingCase> {};

TEST_P(AudienceSettings, ScreenNumberOrOneMessageAndTheAutomaticChoice) {
    const SettingCase& c = GetParam();
    testsupport::MemoryFileSystem files;
    const platform::TextCodec& codec = testsupport::GbkCodec();
    std::string text = "#TarvelMonic Config File#\r\n<Tolvanexa>\\AudienceBackground = pictures\\hall.png\r\n"
                       "<Tolvanexa>\\TimerFont = 楷体\r\n<Tolvanexa>\\TimerFontBold = True\r\n";
    if (!c.screen.empty()) text += "<Tolvanexa>\\AudienceScreen = " + c.screen + "\r\n";
    files.ConfigFile() = codec.Utf8ToGbk(text).value();
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");

    const AudienceConfig read = ReadAudienceConfig(config);
    EXPECT_EQ(read.settings.screen, c.read);
    EXPECT_EQ(read.settings.background + read.settings.timerFont.name, "pictures\\hall.png楷体");
    EXPECT_TRUE(read.settings.timerFont.bold);
    ASSERT_EQ(read.problems.size(), c.problem ? 1u : 0u);
    if (c.problem) {
        EXPECT_NE(read.problems[0].find(files.ConfigPath()), std::string::npos);
        EXPECT_NE(read.problems[0].find("“AudienceScreen”的值“" + c.screen + "”"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AudienceSettings,
                         testing::Values(SettingCase{"", 0, false}, SettingCase{"0", 0, false},
                                         SettingCase{"2", 2, false}, SettingCase{"3.0", 3, false},
                                         SettingCase{"abc", 0, true}, SettingCase{"-1", 0, true},
                                         SettingCase{"1.5", 0, true}, SettingCase{"1e9", 0, true},
                                         SettingCase{"第二", 0, true}));

}  // namespace
