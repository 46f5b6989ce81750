// How a frame's pixels reach the bitmap the window paints, as the plan
// says: converted a band of rows at a time, brought down to the size kept
// while they arrive, or decoded at a smaller size by the decoder itself.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include "platform/PicturePlan.h"
#include "platform/win32/Picture.h"

namespace platform {

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

// A decoder's own scaling: Windows' JPEG decoder decodes straight to a half,
// a quarter or an eighth of the picture's size. MinGW's headers lack it.
MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
SourceTransform : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* part, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bytes, BYTE* pixels) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
inline constexpr GUID kSourceTransform = {0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

// The plan's part of the frame as premultiplied BGRA, kept at `kept` (the
// plan's size, or smaller keeping its proportions, each kept pixel the mean
// of those it stands for). nullptr when the file fails, cut short included.
HBITMAP DecodeByBands(IWICImagingFactory* factory, IWICBitmapSource* frame, const PicturePlan& plan,
                      PictureSize kept);

// The frame decoded by the decoder itself at about the plan's size (no
// smaller); `size` is what came. `declined` when the decoder offers no size
// or colours this can take, so the picture may be planned as decoded whole.
HBITMAP DecodeScaled(IWICBitmapFrameDecode* frame, const PicturePlan& plan, SIZE& size, bool& declined);

// A picture larger than needs be to cover `screen`, brought down to the size that still covers it.
void ShrinkToCover(DecodedPicture& picture, PictureSize screen);

}  // namespace platform
