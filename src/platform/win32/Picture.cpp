#include "platform/win32/Picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// Releases a COM interface on every path out.
template <class T>
class Com final {
public:
    Com() = default;
    ~Com() {
        if (p_ != nullptr) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

// The whole frame, converted to premultiplied BGRA, at `width` x `height`.
HBITMAP ToBitmap(IWICBitmapSource* source, UINT width, UINT height) {
    // Decoded whole before a bitmap is made: a file cut short fails here
    // rather than showing half a picture over a grey block.
    const UINT stride = width * 4;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
    if (FAILED(source->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()))) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return nullptr;
    std::copy(pixels.begin(), pixels.end(), static_cast<BYTE*>(bits));
    return bitmap;
}

// The smallest size of the picture's proportions that covers `cover`.
SIZE Covering(UINT width, UINT height, SIZE cover) {
    const double scale = std::max(static_cast<double>(cover.cx) / width, static_cast<double>(cover.cy) / height);
    return {std::max(1L, std::lround(width * scale)), std::max(1L, std::lround(height * scale))};
}

}  // namespace

DecodedPicture DecodePictureFile(const std::wstring& path, const PictureBounds& bounds) {
    DecodedPicture decoded;
    Com<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Out())))) {
        return decoded;
    }
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) || width == 0 ||
        height == 0) {
        return decoded;
    }
    // The size the file declares, checked before a pixel is decoded.
    if (width > bounds.largestSide || height > bounds.largestSide) {
        decoded.tooLarge = true;
        return decoded;
    }
    Com<IWICBitmapScaler> scaler;
    IWICBitmapSource* source = frame.get();
    if (bounds.cover.cx > 0 && bounds.cover.cy > 0 && width > static_cast<UINT>(bounds.cover.cx) &&
        height > static_cast<UINT>(bounds.cover.cy)) {
        const SIZE scaled = Covering(width, height, bounds.cover);
        if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
            FAILED(scaler->Initialize(frame.get(), static_cast<UINT>(scaled.cx), static_cast<UINT>(scaled.cy),
                                      WICBitmapInterpolationModeFant))) {
            return decoded;
        }
        source = scaler.get();
        width = static_cast<UINT>(scaled.cx);
        height = static_cast<UINT>(scaled.cy);
    }
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return decoded;
    }
    decoded.bitmap = ToBitmap(converter.get(), width, height);
    if (decoded.bitmap != nullptr) decoded.size = {static_cast<LONG>(width), static_cast<LONG>(height)};
    return decoded;
}

PictureFault PictureFileFault(const std::string& file) {
    if (IsDeviceName(file)) return PictureFault::NotRegular;
    if (IsRegularFile(file)) return PictureFault::None;
    const DWORD attributes = ::GetFileAttributesW(NativePath(file).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
               ? PictureFault::Missing
               : PictureFault::NotRegular;
}

}  // namespace platform
