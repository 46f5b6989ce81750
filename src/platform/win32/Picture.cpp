#include "platform/win32/Picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>

#include "platform/PictureHeader.h"
#include "platform/PictureStream.h"
#include "platform/win32/Handle.h"
#include "platform/win32/PictureDecode.h"
#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

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

// The file from where it stands, for PictureStream.
class HandleSource final : public ByteSource {
public:
    explicit HandleSource(HANDLE file) : file_(file) {}
    std::size_t Read(unsigned char* into, std::size_t bytes) override {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes, std::size_t{1} << 20));
        return ::ReadFile(file_, into, wanted, &got, nullptr) ? got : 0;
    }

private:
    HANDLE file_;
};

// A GIF or BMP read a row at a time at the size the plan asks, rather than
// decoded whole by WIC first.
DecodedPicture ReadRows(HANDLE file, PictureUse use, PictureSize screen) {
    DecodedPicture decoded;
    decoded.fault = PictureFault::Unreadable;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return decoded;
    HandleSource source(file);
    const StreamedPicture streamed = StreamPicture(source, [&](PictureSize declared) {
        return PlanPicture(declared, kRowReader, use, screen);
    });
    decoded.fault = streamed.fault;
    if (streamed.fault != PictureFault::None) return decoded;
    const SIZE size{streamed.size.width, streamed.size.height};
    void* bits = nullptr;
    HBITMAP bitmap = TopDownBitmap(size, &bits);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        decoded.fault = PictureFault::Unreadable;
        return decoded;
    }
    std::memcpy(bits, streamed.pixels.data(), streamed.pixels.size() * sizeof(std::uint32_t));
    decoded.bitmap = bitmap;
    decoded.size = size;
    return decoded;
}

PictureFault OpenFault(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PictureFault::Missing
                                                                           : PictureFault::Unopenable;
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

// The decoder holds the whole, but no more is kept than shows: for the
// audience view, what covers the largest screen; for the main window,
// painted unscaled from its corner, what that screen can hold.
HBITMAP DecodeWhatShows(IWICImagingFactory* factory, IWICBitmapSource* frame, const PicturePlan& plan,
                        PictureUse use, PictureSize screen, SIZE& size) {
    PicturePlan shown = plan;
    PictureSize kept = plan.size;
    if (use == PictureUse::Cover) {
        kept = PlanPicture(plan.size, {.scales = true}, use, screen).size;
    } else if (!screen.IsEmpty()) {
        shown.part.width = std::min(plan.part.width, screen.width);
        shown.part.height = std::min(plan.part.height, screen.height);
        kept = {shown.part.width, shown.part.height};
    }
    size = {kept.width, kept.height};
    return DecodeByBands(factory, frame, shown, kept);
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
        decoded.bitmap = DecodeWhatShows(factory.get(), frame.get(), plan, use, screen, decoded.size);
    } else if (decoded.bitmap != nullptr && use == PictureUse::Cover) {
        ShrinkToCover(decoded, screen);
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
    HandleSource source(file.get());
    const PictureHeader header = ReadPictureHeader(source);
    if (header.known) {
        // WIC decodes a GIF's first frame at its own size, not on the GIF's screen.
        const PictureSize declared = header.format == PictureFormat::Gif ? header.firstFrame : header.size;
        const PicturePlan plan = PlanPicture(declared, HopedAbilities(header), use, screen);
        decoded.fault = plan.fault;
        if (plan.fault == PictureFault::None && !plan.Scaled() && header.wholeBytes > kPictureBudgetBytes) {
            decoded.fault = PictureFault::OverBudget;
        }
        if (Streamable(header.format) && (decoded.fault == PictureFault::OverBudget ||
                         RowsDecodeLess(declared, HopedAbilities(header), use, screen))) {
            DecodedPicture rows = ReadRows(file.get(), use, screen);
            // A compressed BMP is read whole only: by WIC, if the budget allows.
            if (rows.fault != PictureFault::OverBudget || decoded.fault != PictureFault::None) return rows;
        }
        if (decoded.fault != PictureFault::None) return decoded;
    }
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
        decoded.fault = PictureFault::Unreadable;
        return decoded;
    }
    return DecodeFile(file.get(), use, screen);
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
