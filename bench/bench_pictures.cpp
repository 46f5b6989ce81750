// What a background picture costs to read, whatever its shape and size: the
// process's peak memory growth while each picture is read and made to cover a
// 1920 x 1080 view (the audience view) or read for the main window's corner,
// side by side with the way pictures were read before (decoded at the size
// the file declares unless both sides exceed the screen, then scaled whole to
// cover it). The peak is reset before every case (/proc/self/clear_refs), so
// each figure is that case's own. Figures only; nothing here passes or fails.
//
//   build/bench/bench_pictures
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <string>

#include "platform/qt/QtPicture.h"
#include "support/OneColourGif.h"

namespace {

const QSize kScreen(1920, 1080);

long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    }
    return 0;
}

// Runs `read` with the peak reset first; answers the peak's growth in MB.
double PeakGrowthMb(const std::function<void()>& read) {
    // Memory freed by the case before goes back to the system first, so it is
    // not counted as already resident.
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKb("VmRSS");
    read();
    return (StatusKb("VmHWM") - before) / 1024.0;
}

// A picture of one size in colour gradients, as a photograph decodes (4 bytes a pixel), saved in `format`.
bool Write(const std::string& path, int width, int height, const char* format) {
    // Qt writes no GIF: a one-colour one, as large as asked, in a few kilobytes.
    if (std::string(format) == "GIF") {
        std::ofstream(path, std::ios::binary) << testsupport::OneColourGif(width, height, 0x3366CC);
        return true;
    }
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb(x & 0xFF, y & 0xFF, (x + y) & 0xFF);
    }
    return picture.save(QString::fromStdString(path), format);
}

// The earlier reading: decoded straight to the covering size only when both
// sides exceed the screen's, otherwise whole; then scaled whole to cover.
QImage ReadAsBefore(const std::string& path, bool cover) {
    QImageReader reader(QString::fromStdString(path));
    const QSize declared = reader.size();
    if (cover && declared.width() > kScreen.width() && declared.height() > kScreen.height()) {
        reader.setScaledSize(declared.scaled(kScreen, Qt::KeepAspectRatioByExpanding));
    }
    QImage image = reader.read();
    if (cover && !image.isNull()) image = image.scaled(kScreen, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return image;
}

// As the program reads it now, and covers the view with it.
QImage ReadAsNow(const std::string& path, bool cover) {
    const platform::PictureRead read =
        platform::ReadPicture(path, "", cover ? platform::PictureUse::Cover : platform::PictureUse::TopLeft, kScreen);
    if (read.image.isNull() || !cover) return read.image;
    QImage covered(kScreen, QImage::Format_RGB32);
    QPainter painter(&covered);
    platform::PaintCover(painter, read.image, kScreen);
    return covered;
}

std::string Outcome(const QImage& image) {
    return image.isNull() ? "not shown" : std::to_string(image.width()) + "x" + std::to_string(image.height());
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    // Every large block its own mapping, given back when freed: each case's
    // peak is then its own, not the heap the case before left behind.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tolvanexa-bench-pictures";
    std::filesystem::create_directories(folder);
    struct Case {
        const char* name;
        int width;
        int height;
        const char* format;
        bool cover;
    };
    const Case cases[] = {
        {"1920x1080 JPEG, audience view", 1920, 1080, "JPEG", true},
        {"1x8192 PNG, audience view", 1, 8192, "PNG", true},
        {"8192x1 PNG, audience view", 8192, 1, "PNG", true},
        {"8192x8192 PNG, audience view", 8192, 8192, "PNG", true},
        {"8192x8192 JPEG, audience view", 8192, 8192, "JPEG", true},
        {"4096x4096 BMP, audience view", 4096, 4096, "BMP", true},
        {"8192x8192 BMP, audience view", 8192, 8192, "BMP", true},
        {"8192x8192 GIF, audience view", 8192, 8192, "GIF", true},
        {"8192x8192 GIF, main window", 8192, 8192, "GIF", false},
        {"8000x8000 JPEG, main window", 8000, 8000, "JPEG", false},
        {"4000x3000 PNG, main window", 4000, 3000, "PNG", false},
    };
    std::cout << "peak memory growth while reading (MB) and what is shown; before | now\n";
    for (const Case& c : cases) {
        const std::string path = (folder / ("picture." + std::string(c.format))).string();
        if (!Write(path, c.width, c.height, c.format)) {
            std::cout << c.name << ": the picture could not be written\n";
            continue;
        }
        std::string before;
        std::string now;
        const double beforeMb = PeakGrowthMb([&] { before = Outcome(ReadAsBefore(path, c.cover)); });
        const double nowMb = PeakGrowthMb([&] { now = Outcome(ReadAsNow(path, c.cover)); });
        std::cout << std::left << std::setw(34) << c.name << std::right << std::fixed << std::setprecision(1)
                  << std::setw(8) << beforeMb << " MB " << std::setw(10) << before << " | " << std::setw(6) << nowMb
                  << " MB " << now << "\n";
        std::filesystem::remove(path);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
