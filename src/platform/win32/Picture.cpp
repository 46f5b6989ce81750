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

// What WIC's decoder can do for the plan. Measured under Wine 8
// (bench/win32/bench_win32_picture): the PNG, JPEG and GIF decoders decode the
// whole picture as they open, the BMP decoder at the first pixel asked for,
// whatever part is asked; none offers IWICBitmapSourceTransform, and
// IWICBitmapScaler pulls every row at full size (an 8192 x 8192 picture
// scaled to a screen peaked at 428 MB). So no decoder scales or clips.
DecoderAbilities Abilities() { return {}; }

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
    const PicturePlan plan = PlanPicture(declared, Abilities(), use, screen);
    if (plan.fault != PictureFault::None || declared.IsEmpty()) {
        decoded.fault = declared.IsEmpty() ? PictureFault::Unreadable : plan.fault;
        return decoded;
    }
    decoded.bitmap = Decode(factory.get(), frame.get(), plan);
    if (decoded.bitmap == nullptr) return decoded;
    decoded.size = {plan.size.width, plan.size.height};
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
        const PicturePlan plan = PlanPicture(header.size, Abilities(), use, screen);
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
