// What a background picture costs on Windows, format by format: the peak
// working set of a process that does nothing but read one picture, for the
// audience view (covering a 1920 x 1080 screen) and for the main window
// (unscaled from its top-left corner), beside what WIC itself costs to open
// the same file and hand over one screenful of its pixels. Each figure comes
// from a process of its own, so no reading inherits another's peak.
//   bench_win32_picture FOLDER        makes the pictures in FOLDER if missing, then measures each
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Picture.h"
#include "platform/win32/Wide.h"

namespace {

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<double>(memory.PeakWorkingSetSize) / (1 << 20);
}

const char* FaultName(platform::PictureFault fault) {
    switch (fault) {
        case platform::PictureFault::None: return "decoded";
        case platform::PictureFault::Missing: return "missing";
        case platform::PictureFault::NotRegular: return "not regular";
        case platform::PictureFault::TooLarge: return "too large";
        case platform::PictureFault::OverBudget: return "refused: over budget";
        case platform::PictureFault::Unreadable: return "unreadable";
        case platform::PictureFault::Unopenable: return "cannot be opened";
    }
    return "?";
}

struct Format {
    const wchar_t* extension;
    GUID container;
    WICPixelFormatGUID pixels;
};

const Format kFormats[] = {{L"png", GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR},
                           {L"jpg", GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR},
                           {L"gif", GUID_ContainerFormatGif, GUID_WICPixelFormat8bppIndexed},
                           {L"bmp", GUID_ContainerFormatBmp, GUID_WICPixelFormat24bppBGR}};

// A picture of one colour written by WIC's encoder a band of rows at a time,
// so making it never holds the whole.
bool Make(IWICImagingFactory* factory, const std::wstring& path, const Format& format, UINT side) {
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    IWICPalette* palette = nullptr;
    WICPixelFormatGUID pixels = format.pixels;
    const bool indexed = pixels == GUID_WICPixelFormat8bppIndexed;
    const UINT stride = (side * (indexed ? 1 : 3) + 3) / 4 * 4;
    constexpr UINT kBand = 64;
    std::vector<BYTE> band(static_cast<std::size_t>(stride) * kBand, 0x40);
    bool made = SUCCEEDED(factory->CreateStream(&stream)) &&
                SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
                SUCCEEDED(factory->CreateEncoder(format.container, nullptr, &encoder)) &&
                SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
                SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
                SUCCEEDED(frame->SetSize(side, side)) && SUCCEEDED(frame->SetPixelFormat(&pixels)) &&
                (!indexed || (SUCCEEDED(factory->CreatePalette(&palette)) &&
                              SUCCEEDED(palette->InitializePredefined(WICBitmapPaletteTypeFixedWebPalette, FALSE)) &&
                              SUCCEEDED(frame->SetPalette(palette))));
    for (UINT row = 0; made && row < side; row += kBand) {
        made = SUCCEEDED(frame->WritePixels(kBand, stride, static_cast<UINT>(band.size()), band.data()));
    }
    made = made && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object : std::initializer_list<IUnknown*>{palette, options, frame, encoder, stream}) {
        if (object != nullptr) object->Release();
    }
    return made;
}

// What WIC costs alone: the decoder opened and one screenful (the top-left
// 1920 x 1080) of its pixels asked for.
int MeasureWic(const std::wstring& path) {
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::vector<BYTE> screenful(std::size_t{1920} * 1080 * 4);
    const WICRect part{0, 0, 1920, 1080};
    double opened = 0;
    const bool read =
        SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && (opened = PeakMegabytes()) > 0 &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->CopyPixels(&part, 1920 * 4, static_cast<UINT>(screenful.size()), screenful.data()));
    std::printf("  WIC alone: opened %7.1f MB, one screenful read %7.1f MB%s\n", opened, PeakMegabytes(),
                read ? "" : " (failed)");
    return read ? 0 : 1;
}

int MeasureRead(const std::wstring& path, platform::PictureUse use) {
    const double before = PeakMegabytes();
    const platform::DecodedPicture picture =
        platform::ReadPicture(platform::ToUtf8(path), "", use, platform::PictureSize{1920, 1080});
    std::printf("  %-9s %-22s %5ld x %-5ld peak %7.1f MB (%5.1f before)\n",
                use == platform::PictureUse::Cover ? "cover:" : "top-left:", FaultName(picture.fault),
                picture.size.cx, picture.size.cy, PeakMegabytes(), before);
    if (picture.bitmap != nullptr) ::DeleteObject(picture.bitmap);
    return 0;
}

bool RunChild(const std::wstring& self, const std::wstring& arguments) {
    std::wstring command = L"\"" + self + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &child)) {
        return false;
    }
    ::WaitForSingleObject(child.hProcess, INFINITE);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::fflush(stdout);
    if (argc == 4 && std::wstring(argv[1]) == L"--one") {
        const std::wstring mode = argv[2];
        if (mode == L"wic") return MeasureWic(argv[3]);
        return MeasureRead(argv[3], mode == L"cover" ? platform::PictureUse::Cover : platform::PictureUse::TopLeft);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_win32_picture FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    IWICImagingFactory* factory = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory)))) {
        return 1;
    }
    for (const UINT side : {4096u, 8192u}) {
        for (const Format& format : kFormats) {
            const std::wstring path = folder + L"\\" + std::to_wstring(side) + L"." + format.extension;
            if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && !Make(factory, path, format, side)) {
                std::printf("%u x %u %ls: WIC cannot write it\n", side, side, format.extension);
                continue;
            }
            std::printf("%u x %u %ls\n", side, side, format.extension);
            std::fflush(stdout);
            for (const wchar_t* mode : {L"wic", L"cover", L"top-left"}) {
                RunChild(self, std::wstring(L"--one ") + mode + L" \"" + path + L"\"");
            }
        }
    }
    factory->Release();
    return 0;
}
