#include "platform/PicturePlan.h"

#include <algorithm>
#include <cmath>

namespace platform {

std::int64_t DecodedBytes(PictureSize size) {
    return std::int64_t{4} * std::max(size.width, 0) * std::max(size.height, 0);
}

namespace {

PictureSize Scale(PictureSize size, double factor) {
    return {std::max(1, static_cast<int>(std::floor(size.width * factor))),
            std::max(1, static_cast<int>(std::floor(size.height * factor)))};
}

// The smallest size of the picture's proportions that still covers the
// screen, never larger than the picture: an enlarged decode adds no detail.
PictureSize Covering(PictureSize picture, PictureSize screen) {
    if (screen.IsEmpty()) return picture;
    const double factor = std::max(static_cast<double>(screen.width) / picture.width,
                                   static_cast<double>(screen.height) / picture.height);
    if (factor >= 1) return picture;
    const PictureSize covering{std::max(1, static_cast<int>(std::ceil(picture.width * factor))),
                               std::max(1, static_cast<int>(std::ceil(picture.height * factor)))};
    return covering;
}

// Shrinks `size` keeping its proportions until it fits the budget: a long
// strip that must be kept at the screen's height may still be too many pixels.
PictureSize WithinBudget(PictureSize size) {
    if (DecodedBytes(size) <= kPictureBudgetBytes) return size;
    double factor = std::sqrt(static_cast<double>(kPictureBudgetBytes) / static_cast<double>(DecodedBytes(size)));
    PictureSize shrunk = Scale(size, factor);
    while (DecodedBytes(shrunk) > kPictureBudgetBytes) {
        factor *= 0.99;
        shrunk = Scale(size, factor);
    }
    return shrunk;
}

}  // namespace

PicturePlan PlanPicture(PictureSize declared, DecoderAbilities can, PictureUse use, PictureSize screen) {
    PicturePlan plan;
    if (declared.IsEmpty()) return plan;
    if (declared.width > kLargestPictureSide || declared.height > kLargestPictureSide) {
        plan.fault = PictureFault::TooLarge;
        return plan;
    }
    plan.part = {0, 0, declared.width, declared.height};
    plan.size = declared;
    if (use == PictureUse::TopLeft) {
        // Painted unscaled, so only what the largest screen can show is ever seen.
        if (can.clips && !screen.IsEmpty()) {
            plan.part.width = std::min(declared.width, screen.width);
            plan.part.height = std::min(declared.height, screen.height);
            plan.size = {plan.part.width, plan.part.height};
        }
    } else if (can.scales) {
        plan.size = WithinBudget(Covering(declared, screen));
    }
    if (DecodedBytes(plan.size) > kPictureBudgetBytes) plan.fault = PictureFault::OverBudget;
    return plan;
}

bool RowsDecodeLess(PictureSize declared, DecoderAbilities can, PictureUse use, PictureSize screen) {
    const PicturePlan toolkit = PlanPicture(declared, can, use, screen);
    const PicturePlan rows = PlanPicture(declared, kRowReader, use, screen);
    return rows.fault == PictureFault::None && !declared.IsEmpty() &&
           (toolkit.fault == PictureFault::OverBudget || DecodedBytes(rows.size) < DecodedBytes(toolkit.size));
}

PictureRect CoverSource(PictureSize picture, PictureSize target) {
    if (picture.IsEmpty() || target.IsEmpty()) return {0, 0, std::max(picture.width, 0), std::max(picture.height, 0)};
    // Compared as cross products, so a 1 x 8192 strip on a wide screen is
    // cut exactly, without a rounding that makes its part zero pixels tall.
    const std::int64_t pictureWide = std::int64_t{picture.width} * target.height;
    const std::int64_t targetWide = std::int64_t{target.width} * picture.height;
    PictureRect part{0, 0, picture.width, picture.height};
    if (pictureWide > targetWide) {
        part.width = std::max<int>(1, static_cast<int>(std::llround(static_cast<double>(targetWide) / target.height)));
        part.x = (picture.width - part.width) / 2;
    } else if (pictureWide < targetWide) {
        part.height = std::max<int>(1, static_cast<int>(std::llround(static_cast<double>(pictureWide) / target.width)));
        part.y = (picture.height - part.height) / 2;
    }
    return part;
}

}  // namespace platform
