// Which pictures are decoded, at what size and which part: every picture
// within 8192 a side, of any shape, within the budget; none refused that the
// decoder could read smaller.
#include <gtest/gtest.h>

#include "platform/PicturePlan.h"

namespace {

using platform::DecodedBytes;
using platform::DecoderAbilities;
using platform::PictureFault;
using platform::PictureRect;
using platform::PictureSize;
using platform::PictureUse;
using platform::PlanPicture;

constexpr DecoderAbilities kWholeOnly{};              // GIF and BMP in Qt
constexpr DecoderAbilities kScales{true, false};      // PNG in Qt
constexpr DecoderAbilities kScalesAndClips{true, true};  // JPEG
constexpr PictureSize kFullHd{1920, 1080};
constexpr PictureSize k4k{3840, 2160};

struct PlanCase {
    const char* name;
    PictureSize declared;
    DecoderAbilities can;
    PictureUse use;
    PictureSize screen;
    PictureFault fault;
    PictureRect part = {};   // checked when the fault is None
    PictureSize size = {};   // ditto; {0, 0}: only the budget and proportions are checked
};

class Plan : public testing::TestWithParam<PlanCase> {};

TEST_P(Plan, DecodesWhatTheScreenNeedsWithinTheBudget) {
    const PlanCase& c = GetParam();
    const platform::PicturePlan plan = PlanPicture(c.declared, c.can, c.use, c.screen);
    ASSERT_EQ(plan.fault, c.fault);
    if (c.fault != PictureFault::None) return;
    EXPECT_LE(DecodedBytes(plan.size), platform::kPictureBudgetBytes);
    EXPECT_EQ(plan.part, c.part);
    if (!c.size.IsEmpty()) {
        EXPECT_EQ(plan.size, c.size);
    } else {
        // Shrunk to the budget keeping its proportions, and no further than needed.
        EXPECT_NEAR(static_cast<double>(plan.size.width) / plan.size.height,
                    static_cast<double>(c.declared.width) / c.declared.height, 0.01);
        EXPECT_GT(DecodedBytes(plan.size), platform::kPictureBudgetBytes * 97 / 100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Plan,
    testing::Values(
        PlanCase{"PastTheLargestSide", {8193, 10}, kScalesAndClips, PictureUse::Cover, kFullHd, PictureFault::TooLarge, {}, {}},
        PlanCase{"TallStripKeptWhole", {1, 8192}, kScales, PictureUse::Cover, kFullHd, PictureFault::None,
                 {0, 0, 1, 8192}, {1, 8192}},
        PlanCase{"SquareScaledToCoverTheScreen", {8192, 8192}, kScales, PictureUse::Cover, kFullHd,
                 PictureFault::None, {0, 0, 8192, 8192}, {1920, 1920}},
        PlanCase{"PanoramaShorterThanTheScreenShrunkToTheBudget", {8192, 2100}, kScales, PictureUse::Cover, k4k,
                 PictureFault::None, {0, 0, 8192, 2100}, {}},
        PlanCase{"SmallPictureNeverEnlarged", {800, 600}, kScales, PictureUse::Cover, kFullHd, PictureFault::None,
                 {0, 0, 800, 600}, {800, 600}},
        PlanCase{"WholeOnlyWithinTheBudget", {4096, 4096}, kWholeOnly, PictureUse::Cover, kFullHd,
                 PictureFault::None, {0, 0, 4096, 4096}, {4096, 4096}},
        PlanCase{"WholeOnlyPastTheBudget", {8192, 8192}, kWholeOnly, PictureUse::Cover, kFullHd,
                 PictureFault::OverBudget, {}, {}},
        PlanCase{"TopLeftClippedToTheScreen", {8000, 8000}, kScalesAndClips, PictureUse::TopLeft, kFullHd,
                 PictureFault::None, {0, 0, 1920, 1080}, {1920, 1080}},
        PlanCase{"TopLeftNeverScaled", {8000, 8000}, kScales, PictureUse::TopLeft, kFullHd,
                 PictureFault::OverBudget, {}, {}},
        PlanCase{"TopLeftNarrowStripClippedOnlyWhereItOverflows", {100, 8192}, kScalesAndClips,
                 PictureUse::TopLeft, kFullHd, PictureFault::None, {0, 0, 100, 1080}, {100, 1080}},
        PlanCase{"UnknownScreenDecodesWholeWithinTheBudget", {3000, 2000}, kScalesAndClips, PictureUse::Cover,
                 {}, PictureFault::None, {0, 0, 3000, 2000}, {3000, 2000}}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

TEST(CoverSource, IsTheCentredPartOfTheScreensProportions) {
    EXPECT_EQ(platform::CoverSource({1920, 1080}, kFullHd), (PictureRect{0, 0, 1920, 1080}));
    EXPECT_EQ(platform::CoverSource({4000, 1000}, {1000, 1000}), (PictureRect{1500, 0, 1000, 1000}));
    EXPECT_EQ(platform::CoverSource({1000, 4000}, {2000, 1000}), (PictureRect{0, 1750, 1000, 500}));
    // A strip one pixel wide still gives a pixel to stretch, not an empty part.
    EXPECT_EQ(platform::CoverSource({1, 8192}, kFullHd), (PictureRect{0, 4095, 1, 1}));
    EXPECT_EQ(platform::CoverSource({8192, 1}, {1080, 1920}), (PictureRect{4095, 0, 1, 1}));
}

}  // namespace
