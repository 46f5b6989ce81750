#include "platform/win32/PictureDecode.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

constexpr int kBandRows = 64;

// Sums the pixels of the rows that make one kept row, then writes their mean.
class RowMeans final {
public:
    RowMeans(int width, int keptWidth) : column_(static_cast<std::size_t>(width)),
        sums_(static_cast<std::size_t>(keptWidth) * 4), counts_(static_cast<std::size_t>(keptWidth)) {
        for (int x = 0; x < width; ++x) {
            column_[static_cast<std::size_t>(x)] = static_cast<int>(std::int64_t{x} * keptWidth / width);
        }
    }

    void Add(const BYTE* row) {
        for (std::size_t x = 0; x < column_.size(); ++x) {
            const std::size_t kept = static_cast<std::size_t>(column_[x]);
            for (std::size_t c = 0; c < 4; ++c) sums_[kept * 4 + c] += row[x * 4 + c];
            ++counts_[kept];
        }
    }

    void Write(BYTE* row) {
        for (std::size_t kept = 0; kept < counts_.size(); ++kept) {
            const std::uint64_t count = std::max<std::uint64_t>(counts_[kept], 1);
            for (std::size_t c = 0; c < 4; ++c) {
                row[kept * 4 + c] = static_cast<BYTE>((sums_[kept * 4 + c] + count / 2) / count);
                sums_[kept * 4 + c] = 0;
            }
            counts_[kept] = 0;
        }
    }

private:
    std::vector<int> column_;  // the kept column each of the part's columns falls in
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint64_t> counts_;
};

}  // namespace

// Asked for a band of rows at a time, as WIC's converter holds what it
// converts in the frame's own format: asked for the whole, it held a second
// whole picture (a 4096 x 4096 PNG peaked at 182 MB under Wine, 135 MB by
// bands). A picture kept smaller is brought down as its rows arrive, so the
// whole is never held at all (85 MB).
HBITMAP DecodeByBands(IWICImagingFactory* factory, IWICBitmapSource* frame, const PicturePlan& plan,
                      PictureSize kept) {
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap({kept.width, kept.height}, &bits);
    if (bitmap == nullptr || bits == nullptr) return nullptr;
    auto* pixels = static_cast<BYTE*>(bits);
    const UINT stride = static_cast<UINT>(plan.part.width) * 4;
    const std::size_t keptStride = static_cast<std::size_t>(kept.width) * 4;
    const bool straight = kept == PictureSize{plan.part.width, plan.part.height};
    std::vector<BYTE> band(straight ? 0 : std::size_t{stride} * kBandRows);
    RowMeans means(straight ? 0 : plan.part.width, straight ? 0 : kept.width);
    int keptRow = 0;
    for (int row = 0; row < plan.part.height; row += kBandRows) {
        const int rows = std::min(kBandRows, plan.part.height - row);
        const WICRect part{plan.part.x, plan.part.y + row, plan.part.width, rows};
        BYTE* into = straight ? pixels + std::size_t{stride} * static_cast<std::size_t>(row) : band.data();
        if (FAILED(converter->CopyPixels(&part, stride, stride * static_cast<UINT>(rows), into))) {
            ::DeleteObject(bitmap);
            return nullptr;
        }
        for (int r = 0; !straight && r < rows; ++r) {
            const int to = static_cast<int>(std::int64_t{row + r} * kept.height / plan.part.height);
            if (to != keptRow) {
                means.Write(pixels + keptStride * static_cast<std::size_t>(keptRow));
                keptRow = to;
            }
            means.Add(band.data() + std::size_t{stride} * static_cast<std::size_t>(r));
        }
    }
    if (!straight) means.Write(pixels + keptStride * static_cast<std::size_t>(keptRow));
    return bitmap;
}

// Into the bitmap's own pixels: rows of 3 or 1 bytes a pixel are spread to
// 4 in place, from the last pixel back, so no second copy is made.
HBITMAP DecodeScaled(IWICBitmapFrameDecode* frame, const PicturePlan& plan, SIZE& size, bool& declined) {
    declined = true;
    Com<SourceTransform> transform;
    if (FAILED(frame->QueryInterface(kSourceTransform, reinterpret_cast<void**>(transform.Out())))) return nullptr;
    // The closest size may fall short of the one asked for (a JPEG scales
    // by halves): a larger one is asked for until it covers the plan's, so
    // the view is never enlarged from a smaller picture than it needs.
    UINT width = 0;
    UINT height = 0;
    for (int factor = 1; factor <= 8; factor *= 2) {
        width = static_cast<UINT>(std::min(plan.part.width, plan.size.width * factor));
        height = static_cast<UINT>(std::min(plan.part.height, plan.size.height * factor));
        if (FAILED(transform->GetClosestSize(&width, &height)) || width == 0 || height == 0) return nullptr;
        if (width >= static_cast<UINT>(plan.size.width) && height >= static_cast<UINT>(plan.size.height)) break;
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    if (DecodedBytes({static_cast<int>(width), static_cast<int>(height)}) > kPictureBudgetBytes ||
        FAILED(transform->GetClosestPixelFormat(&format))) {
        return nullptr;
    }
    UINT bytesPerPixel = 0;
    if (format == GUID_WICPixelFormat32bppBGR || format == GUID_WICPixelFormat32bppBGRA ||
        format == GUID_WICPixelFormat32bppPBGRA) {
        bytesPerPixel = 4;
    } else if (format == GUID_WICPixelFormat24bppBGR) {
        bytesPerPixel = 3;
    } else if (format == GUID_WICPixelFormat8bppGray) {
        bytesPerPixel = 1;
    } else {
        return nullptr;  // CMYK and the like: left unshown rather than shown in wrong colours
    }
    declined = false;
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap({static_cast<LONG>(width), static_cast<LONG>(height)}, &bits);
    if (bitmap == nullptr || bits == nullptr) return nullptr;
    auto* pixels = static_cast<BYTE*>(bits);
    const UINT stride = width * bytesPerPixel;
    if (FAILED(transform->CopyPixels(nullptr, width, height, &format, WICBitmapTransformRotate0, stride,
                                     stride * height, pixels))) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    const std::size_t count = std::size_t{width} * height;
    for (std::size_t i = count; i-- > 0;) {
        const BYTE* from = pixels + i * bytesPerPixel;
        const BYTE blue = from[0];
        const BYTE green = bytesPerPixel == 1 ? from[0] : from[1];
        const BYTE red = bytesPerPixel == 1 ? from[0] : from[2];
        BYTE* to = pixels + i * 4;
        to[0] = blue;
        to[1] = green;
        to[2] = red;
        to[3] = 0xFF;  // a JPEG is opaque
    }
    size = {static_cast<LONG>(width), static_cast<LONG>(height)};
    return bitmap;
}

// The view keeps a screenful, not the whole photograph.
void ShrinkToCover(DecodedPicture& picture, PictureSize screen) {
    const PictureSize whole{picture.size.cx, picture.size.cy};
    const PictureSize covering = PlanPicture(whole, {.scales = true}, PictureUse::Cover, screen).size;
    if (covering.IsEmpty() || covering == whole) return;
    void* bits = nullptr;
    HBITMAP shrunk = TopDownBitmap({covering.width, covering.height}, &bits);
    if (shrunk == nullptr) return;
    HDC target = ::CreateCompatibleDC(nullptr);
    HDC source = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ targetDefault = ::SelectObject(target, shrunk);
    const HGDIOBJ sourceDefault = ::SelectObject(source, picture.bitmap);
    ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    const bool drawn = ::StretchBlt(target, 0, 0, covering.width, covering.height, source, 0, 0, whole.width,
                                    whole.height, SRCCOPY) != 0;
    ::SelectObject(source, sourceDefault);
    ::SelectObject(target, targetDefault);
    ::DeleteDC(source);
    ::DeleteDC(target);
    if (!drawn) {
        ::DeleteObject(shrunk);
        return;
    }
    ::DeleteObject(picture.bitmap);
    picture.bitmap = shrunk;
    picture.size = {covering.width, covering.height};
}

}  // namespace platform
