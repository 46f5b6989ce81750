// How a background picture is decoded: at what size, which part of it, and
// whether at all. Decided once for both editions from what the picture file
// declares and what the toolkit's decoder for its format can do, so that no
// picture within kLargestPictureSide a side, of any shape, costs more memory
// than kPictureBudgetBytes to decode.
#pragma once

#include <cstdint>

namespace platform {

// Why a background picture is not shown.
enum class PictureFault {
    None,
    Missing,     // No file by that name, or a folder.
    NotRegular,  // A pipe or a device: never opened, since opening it may wait for good.
    TooLarge,    // Either side past kLargestPictureSide.
    OverBudget,  // Its format is decoded whole only, and whole it needs more than kPictureBudgetBytes.
    Unreadable,  // Not a picture, or one cut short or damaged.
    Unopenable,  // There, but the system would not open it (no permission to read, held by another program).
};

// The largest picture either side of which is read: a larger one would take
// hundreds of megabytes to decode for a screen that shows a fraction of it.
inline constexpr int kLargestPictureSide = 8192;

// The most a picture may take once decoded, at 4 bytes a pixel: what a phone
// photograph of 16 million pixels takes whole. A picture the decoder can read
// at a smaller size is read at the size the screen needs and never reaches it.
inline constexpr std::int64_t kPictureBudgetBytes = std::int64_t{64} << 20;

struct PictureSize {
    int width = 0;
    int height = 0;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const PictureSize&) const = default;
};

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PictureRect&) const = default;
};

// What the picture is for. The audience view covers its screen with it,
// scaled and centred, cut at the sides that overflow; the main window paints
// it unscaled from its top-left corner.
enum class PictureUse { Cover, TopLeft };

// What the toolkit's decoder for this file's format can do without holding
// the whole picture decoded first.
struct DecoderAbilities {
    bool scales = false;  // decodes straight to a smaller size
    bool clips = false;   // decodes only a part
};

// What the row reader (PictureStream) can do: any size, any part.
inline constexpr DecoderAbilities kRowReader{.scales = true, .clips = true};

struct PicturePlan {
    PictureFault fault = PictureFault::None;
    PictureRect part;   // the part of the picture to decode: the whole unless the decoder clips
    PictureSize size;   // the size that part is decoded at
    bool Clipped(PictureSize declared) const { return part != PictureRect{0, 0, declared.width, declared.height}; }
    bool Scaled() const { return size != PictureSize{part.width, part.height}; }
};

// The bytes a picture of `size` takes decoded.
std::int64_t DecodedBytes(PictureSize size);

// Plans the decoding of a picture declaring `declared` for `use` on screens
// no larger than `screen` (the largest connected; empty when unknown). A
// picture that declares no size is decoded whole and held to the budget once
// decoded (DecodedBytes of what came out).
PicturePlan PlanPicture(PictureSize declared, DecoderAbilities can, PictureUse use, PictureSize screen);

// Whether reading the picture a row at a time (PictureStream, which scales and
// clips) decodes fewer pixels than the toolkit's decoder able to do `can`:
// then a format PictureStream reads goes through it.
bool RowsDecodeLess(PictureSize declared, DecoderAbilities can, PictureUse use, PictureSize screen);

// The centred part of a picture of `picture`'s size that, scaled keeping its
// proportions, covers `target` exactly: the part the audience view shows. At
// least one pixel each way.
PictureRect CoverSource(PictureSize picture, PictureSize target);

}  // namespace platform
