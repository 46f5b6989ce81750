// The controls' rules every front end shares (ControlRules), through the fakes that use them as the real
// labels, buttons and arrays do: the Qt and Win32 tests keep only what needs their toolkit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/ControlRules.h"
#include "support/FakeControls.h"

namespace {

using testsupport::FakeButtonArray;
using testsupport::FakeLabel;

struct SizeCase { double asked; bool taken; double kept; };

class LabelFontSize : public testing::TestWithParam<SizeCase> {};

// A refused size keeps the font; one beyond any screen would make the glyph cache run out of memory.
TEST_P(LabelFontSize, IsTakenOnlyAboveZeroAndHeldTo1000Points) {
    FakeLabel label("00:00", 36, 0, 0, 0, 0);
    EXPECT_EQ(label.SetFontSize(GetParam().asked), GetParam().taken);
    EXPECT_EQ(label.Font().size, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Table, LabelFontSize,
                         testing::Values(SizeCase{72, true, 72}, SizeCase{0.5, true, 0.5}, SizeCase{0, false, 36},
                                         SizeCase{-72, false, 36},
                                         SizeCase{std::numeric_limits<double>::quiet_NaN(), false, 36},
                                         SizeCase{std::numeric_limits<double>::infinity(), false, 36},
                                         SizeCase{1000, true, 1000}, SizeCase{1e9, true, 1000}));

// A blank face setting keeps the big displays in their face, rather than the small interface font.
TEST(LabelFontName, ABlankNameKeepsTheFace) {
    FakeLabel label("00:00", 36, 0, 0, 0, 0);
    for (const char* blank : {"", " ", "   "}) {
        label.SetFontName(blank);
        EXPECT_EQ(label.Font().name, "黑体") << '"' << blank << '"';
    }
    label.SetFontName(" 楷体");
    EXPECT_EQ(label.Font().name, " 楷体");
}

// Member 0 is there from the start and stays; others are loaded next above the highest, and a refusal says
// which member it was.
TEST(ButtonArray, LoadsNextAboveTheHighestAndNeverUnloadsMemberZero) {
    FakeButtonArray bar;
    bar[0].SetCaption("开始");
    EXPECT_EQ(std::pair(bar.LBound(), bar.UBound()), std::pair(0, 0));
    for (int i = 1; i <= 3; ++i) bar.Load(i);
    EXPECT_EQ(bar.UBound(), 3);
    EXPECT_FALSE(bar[3].Visible());
    EXPECT_EQ(bar[3].Caption(), "开始");  // a copy of member 0
    const auto refusal = [&](auto action) {
        try {
            action();
        } catch (const std::logic_error& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refusal([&] { bar.Load(3); }), "按钮数组的第 3 号成员已存在或不能创建");
    EXPECT_EQ(refusal([&] { bar.Load(5); }), "按钮数组的第 5 号成员已存在或不能创建");
    EXPECT_EQ(refusal([&] { bar.Load(0); }), "按钮数组的第 0 号成员已存在或不能创建");
    EXPECT_EQ(refusal([&] { bar.Unload(0); }), "按钮数组的第 0 号成员不能删除");
    // Unloaded from the bottom up, as the bar is rebuilt: the gap is no member.
    bar.Unload(1);
    EXPECT_EQ(refusal([&] { bar.Unload(1); }), "按钮数组没有第 1 号成员");
    EXPECT_EQ(refusal([&] { bar[1]; }), "按钮数组没有第 1 号成员");
    EXPECT_EQ(bar.UBound(), 3);
    bar.Unload(2);
    bar.Unload(3);
    bar.Load(1);
    EXPECT_EQ(bar.Captions(), "开始|开始");
}

// Both edges are rounded, not the width, so buttons that share an edge in twips share it in pixels.
TEST(PixelPlace, RoundsBothEdgesSoSharedEdgesStayShared) {
    const auto toPixels = [](double twips) { return static_cast<int>(std::lround(twips / 15)); };
    const platform::PixelPlace left = platform::ToPixelPlace({0, 0, 1102.5, 375}, toPixels);
    const platform::PixelPlace right = platform::ToPixelPlace({1102.5, 0, 1102.5, 375}, toPixels);
    EXPECT_EQ(left.left + left.width, right.left);
    EXPECT_EQ(left.width + right.width, toPixels(2205));
    const platform::PixelPlace inverted = platform::ToPixelPlace({300, 300, -600, -300}, toPixels);
    EXPECT_EQ(std::pair(inverted.width, inverted.height), std::pair(0, 0));
}

}  // namespace
