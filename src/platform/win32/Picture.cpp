#include "platform/win32/Picture.h"

#include <wincodec.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/PictureHeader.h"
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

// Reads a file by offset through a buffer, so walking a GIF's blocks a few
// bytes at a time does not cost a system call each.
class BufferedReader final {
public:
    explicit BufferedReader(HANDLE file) : file_(file), buffer_(64 * 1024) {}

    std::size_t Read(std::uint64_t offset, unsigned char* out, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            if (offset + done < start_ || offset + done >= start_ + filled_) {
                if (!Fill(offset + done)) break;
            }
            const std::size_t from = static_cast<std::size_t>(offset + done - start_);
            const std::size_t take = std::min(count - done, filled_ - from);
            std::copy_n(buffer_.data() + from, take, out + done);
            done += take;
        }
        return done;
    }

private:
    bool Fill(std::uint64_t offset) {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        if (!::SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
            !::ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr) || got == 0) {
            return false;
        }
        start_ = offset;
        filled_ = got;
        return true;
    }

    HANDLE file_;
    std::vector<unsigned char> buffer_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
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
constexpr GUID kSourceTransform = {0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

// Under Wine every decoder decodes the whole picture as it opens, so none is
// opened only to ask what it can do.
bool UnderWine() {
    static const bool wine =
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// What WIC's decoder for this frame can do for the plan. Measured under Wine 8
// (bench/win32/bench_win32_picture): the PNG, JPEG and GIF decoders decode the
// whole picture as they open, the BMP decoder at the first pixel asked for,
// whatever part; none offers the source transform, and IWICBitmapScaler pulls
// every row at full size (an 8192 x 8192 picture scaled to a screen peaked at
// 428 MB). So none clips, and a decoder scales only where it offers the
// transform to a smaller size: JPEG's alone, whose scaling works on the
// compressed blocks (on Windows; not measured here, Wine has none).
DecoderAbilities Abilities(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame, PictureSize declared) {
    GUID container{};
    Com<SourceTransform> transform;
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatJpeg ||
        FAILED(frame->QueryInterface(kSourceTransform, reinterpret_cast<void**>(transform.Out())))) {
        return {};
    }
    UINT width = std::max(1, declared.width / 8);
    UINT height = std::max(1, declared.height / 8);
    const bool smaller = SUCCEEDED(transform->GetClosestSize(&width, &height)) &&
                         width < static_cast<UINT>(declared.width) && height < static_cast<UINT>(declared.height);
    return {.scales = smaller};
}

// What the header lets the plan count on before a decoder opens: JPEG's own
// scaling where there may be one. The decoder's answer is taken once it is open.
DecoderAbilities HopedAbilities(const PictureHeader& header) {
    return {.scales = header.format == PictureFormat::Jpeg && !UnderWine()};
}

PictureFault OpenFault(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PictureFault::Missing
                                                                           : PictureFault::Unreadable;
}

// Why the picture at `file` (a resolved path) cannot be read, before it is
// opened. On Windows a regular file's path never turns into a pipe or a
// device, so the check by name holds for the file then opened.
PictureFault PictureFileFault(const std::string& file) {
    if (IsDeviceName(file)) return PictureFault::NotRegular;
    if (IsRegularFile(file)) return PictureFault::None;
    const DWORD attributes = ::GetFileAttributesW(NativePath(file).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
               ? PictureFault::Missing
               : PictureFault::NotRegular;
}

// The plan's part of the frame, converted to premultiplied BGRA straight into
// the bitmap's own pixels: the only copy the program holds. Asked for a band
// of rows at a time, as the converter holds what it converts in the frame's
// own format: asked for the whole, it held a second whole picture (a 4096 x
// 4096 PNG peaked at 182 MB, 132 MB by bands). Decoded whole before the
// bitmap is kept, so a file cut short fails here.
HBITMAP Decode(IWICImagingFactory* factory, IWICBitmapSource* frame, const PicturePlan& plan) {
    constexpr int kBandRows = 64;
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap({plan.size.width, plan.size.height}, &bits);
    if (bitmap == nullptr || bits == nullptr) return nullptr;
    const UINT stride = static_cast<UINT>(plan.size.width) * 4;
    for (int row = 0; row < plan.part.height; row += kBandRows) {
        const int rows = std::min(kBandRows, plan.part.height - row);
        const WICRect band{plan.part.x, plan.part.y + row, plan.part.width, rows};
        if (FAILED(converter->CopyPixels(&band, stride, stride * static_cast<UINT>(rows),
                                         static_cast<BYTE*>(bits) + std::size_t{stride} * row))) {
            ::DeleteObject(bitmap);
            return nullptr;
        }
    }
    return bitmap;
}

// The frame decoded by the decoder itself at about the plan's size, into
// the bitmap's own pixels: rows of 3 or 1 bytes a pixel are spread to 4 in
// place, from the last pixel back, so no second copy is made. `declined`
// when the decoder offers no size or colours this can take.
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

// A picture decoded whole for the audience view, brought down to the size
// that still covers the largest screen once the decoder has let go of it:
// the view keeps a screenful, not the whole photograph.
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

// Decodes the open file as planned for the size WIC finds in it.
DecodedPicture DecodeFile(HANDLE file, PictureUse use, PictureSize screen) {
    DecodedPicture decoded;
    decoded.fault = PictureFault::Unreadable;
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateDecoderFromFileHandle(reinterpret_cast<ULONG_PTR>(file), nullptr,
                                                    WICDecodeMetadataCacheOnDemand, decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height))) {
        return decoded;
    }
    // Planned again on the size the decoder will deliver, which is the one
    // that counts where the header said another.
    const PictureSize declared{static_cast<int>(std::min<UINT>(width, 1u << 30)),
                               static_cast<int>(std::min<UINT>(height, 1u << 30))};
    if (declared.IsEmpty()) return decoded;
    PicturePlan plan = PlanPicture(declared, Abilities(decoder.get(), frame.get(), declared), use, screen);
    bool declined = false;
    if (plan.fault == PictureFault::None && plan.Scaled()) {
        decoded.bitmap = DecodeScaled(frame.get(), plan, decoded.size, declined);
        // Planned again as decoded whole, where the decoder would not scale it after all.
        if (declined) plan = PlanPicture(declared, {}, use, screen);
    }
    if (plan.fault != PictureFault::None) {
        decoded.fault = plan.fault;
        return decoded;
    }
    if (!plan.Scaled()) {
        decoded.bitmap = Decode(factory.get(), frame.get(), plan);
        decoded.size = {plan.size.width, plan.size.height};
    }
    if (decoded.bitmap == nullptr) return decoded;
    decoded.fault = PictureFault::None;
    return decoded;
}

}  // namespace

HBITMAP TopDownBitmap(SIZE size, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

DecodedPicture ReadPicture(const std::string& written, const std::string& executableFolder, PictureUse use,
                           PictureSize screen) {
    DecodedPicture decoded;
    if (written.empty()) {
        decoded.fault = PictureFault::Missing;
        return decoded;
    }
    const std::string path = ResolveUserPath(written, executableFolder);
    decoded.fault = PictureFileFault(path);
    if (decoded.fault != PictureFault::None) return decoded;
    const Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        decoded.fault = OpenFault(::GetLastError());
        return decoded;
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        decoded.fault = PictureFault::NotRegular;
        return decoded;
    }
    // Planned first on the size the file declares, before the decoder opens
    // it (and, under Wine, decodes it whole).
    BufferedReader reader(file.get());
    const PictureHeader header = ReadPictureHeader(
        [&reader](std::uint64_t offset, unsigned char* out, std::size_t count) {
            return reader.Read(offset, out, count);
        });
    if (header.known) {
        const PicturePlan plan = PlanPicture(header.size, HopedAbilities(header), use, screen);
        decoded.fault = plan.fault;
        if (plan.fault == PictureFault::None && !plan.Scaled() && header.wholeBytes > kPictureBudgetBytes) {
            decoded.fault = PictureFault::OverBudget;
        }
        if (decoded.fault != PictureFault::None) return decoded;
    }
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
        decoded.fault = PictureFault::Unreadable;
        return decoded;
    }
    decoded = DecodeFile(file.get(), use, screen);
    if (decoded.bitmap != nullptr && use == PictureUse::Cover) ShrinkToCover(decoded, screen);
    return decoded;
}

namespace {

BOOL CALLBACK TakeLargest(HMONITOR monitor, HDC /*dc*/, LPRECT /*clip*/, LPARAM largest) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    auto& size = *reinterpret_cast<PictureSize*>(largest);
    if (::GetMonitorInfoW(monitor, &info)) {
        const PictureSize screen{info.rcMonitor.right - info.rcMonitor.left, info.rcMonitor.bottom - info.rcMonitor.top};
        if (std::int64_t{screen.width} * screen.height > std::int64_t{size.width} * size.height) size = screen;
    }
    return TRUE;
}

}  // namespace

PictureSize LargestScreen() {
    PictureSize largest;
    ::EnumDisplayMonitors(nullptr, nullptr, &TakeLargest, reinterpret_cast<LPARAM>(&largest));
    return largest;
}

}  // namespace platform
