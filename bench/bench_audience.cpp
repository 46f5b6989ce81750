// What the audience view costs while a countdown runs, on a 1920 x 1080
// screen with a 1920 x 1080 background picture. The real window runs its real
// event loop with countdown 1 of the first speech started by "开始"; the same
// run measures ticks with the view closed, then with it open (it repaints on
// every tick), so the two sets of figures stand side by side under the same
// load. Each tick is stamped as it arrives against start + k seconds; the
// process's CPU time is read over each half; its peak memory at the end.
//
//   build/bench/bench_audience [--ticks N]      (N ticks each half, 60 by default)
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <vector>

#include "BenchHarness.h"

namespace {

constexpr double kTickBoundMs = 3.0;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A photograph-like picture (gradient and noise, so it compresses as a photo does).
void WriteBackground(const std::string& path) {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    QRandomGenerator noise(12);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int grain = static_cast<int>(noise.bounded(24));
            line[x] = qRgb(x * 200 / kWidth + grain, y * 160 / kHeight + grain, 90 + grain);
        }
    }
    picture.save(QString::fromStdString(path), "JPEG", 90);
}

struct Half {
    std::vector<double> lateness;
    std::vector<double> handlingMs;  // the tick, then the repaints it asked for
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

void Print(const char* name, const Half& half) {
    const bench::Spread spread = bench::Summarise(half.lateness, kTickBoundMs);
    std::cout << std::fixed << std::setprecision(3) << name << ": " << half.lateness.size() << " ticks, |lateness| p50 / p99 / max "
              << spread.p50 << " / " << spread.p99 << " / " << spread.max << " ms, " << std::setprecision(1)
              << spread.withinShare * 100 << " % within " << kTickBoundMs << " ms; CPU " << std::setprecision(2)
              << (half.wallSeconds > 0 ? 100 * half.cpuSeconds / half.wallSeconds : NAN) << " % of one core\n";
    const bench::Spread handling = bench::Summarise(half.handlingMs, kTickBoundMs);
    std::cout << "    tick handled and painted p50 / max: " << std::setprecision(3) << handling.p50 << " / " << handling.max
              << " ms\n";
}

// The shipped configuration, with the picture behind the audience view set.
void UseBackground(bench::RunFolder& folder) {
    WriteBackground(folder.File("hall.jpg"));
    std::string config = bench::ReadBytes(folder.File("Tolvanexa.config"));
    const std::string empty = "<Tolvanexa>\\AudienceBackground = \r\n";
    if (config.find(empty) == std::string::npos) throw std::runtime_error("the shipped configuration has no AudienceBackground");
    config.replace(config.find(empty), empty.size(), "<Tolvanexa>\\AudienceBackground = hall.jpg\r\n");
    bench::WriteBytes(folder.File("Tolvanexa.config"), config);
}

// `ticks` ticks with the view closed, then `ticks` with it open, as F5 between two ticks opens it.
void RunHalves(bench::TimerWindow& window, std::size_t ticks, Half& closed, Half& open) {
    std::vector<bench::Clock::time_point> arrivals;
    bench::Clock::time_point start;
    double cpuMark = 0;
    bench::Clock::time_point wallMark;
    const auto closeHalf = [&](Half& half) {
        half.cpuSeconds = bench::CpuSeconds() - cpuMark;
        half.wallSeconds = std::chrono::duration<double>(bench::Clock::now() - wallMark).count();
        cpuMark = bench::CpuSeconds();
        wallMark = bench::Clock::now();
    };
    QEventLoop loop;
    platform::QtTimer& timer1 = window.Form().tmrTimer1;
    const std::function<void()> tick = timer1.onTick;
    timer1.onTick = [&] {
        const auto arrived = bench::Clock::now();
        arrivals.push_back(arrived);
        Half& half = arrivals.size() <= ticks ? closed : open;
        half.lateness.push_back(std::fabs(bench::Milliseconds(arrived - (start + std::chrono::seconds(arrivals.size())))));
        tick();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        half.handlingMs.push_back(bench::Milliseconds(bench::Clock::now() - arrived));
        if (arrivals.size() == ticks) {
            closeHalf(closed);
            QTimer::singleShot(300, Qt::PreciseTimer, [&] { window.Audience().Open(); });
        }
        if (arrivals.size() == 2 * ticks) {
            closeHalf(open);
            loop.quit();
        }
    };
    start = bench::Clock::now();
    cpuMark = bench::CpuSeconds();
    wallMark = start;
    window.Click(0);  // "开始"
    QTimer::singleShot(static_cast<int>((2 * ticks + 10) * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    timer1.onTick = tick;
}

}  // namespace

int main(int argc, char** argv) {
    // One screen of the projector's size, given to the offscreen platform before Qt starts.
    const std::string screens = (std::filesystem::temp_directory_path() / "tolvanexa-bench-screen.json").string();
    std::ofstream(screens) << R"({"screens": [{"name": "projector", "x": 0, "y": 0, "width": 1920, "height": 1080}]})";
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) == "offscreen") {
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
    }
    const auto ticks = static_cast<std::size_t>(bench::Option(argc, argv, "--ticks", 60));
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::cout << "load average at start: " << bench::LoadAverage() << "\n";

    // Loaded well above the half-minute mark: no cue and no end within the run.
    bench::RunFolder folder(static_cast<int>(2 * ticks) + 60);
    UseBackground(folder);
    bench::TimerWindow window(folder);
    window.Open();
    if (!window.Audience().HasBackground()) std::cout << "the background picture was not read\n";
    window.Click(0);  // home page: the first speech
    QCoreApplication::processEvents();
    const long peakClosedKb = bench::StatusKb("VmHWM");

    Half closed;
    Half open;
    RunHalves(window, ticks, closed, open);

    std::cout << "view open on a " << window.Audience().width() << "x" << window.Audience().height()
              << " screen, showing " << window.Audience().Frame().countdowns[0].text << "\n";
    Print("view closed", closed);
    Print("view open  ", open);
    std::cout << "peak resident memory: " << std::setprecision(1) << peakClosedKb / 1024.0
              << " MB before the view opened, " << bench::StatusKb("VmHWM") / 1024.0
              << " MB with it open on its 1920x1080 background\n";
    std::cout << "load average at end: " << bench::LoadAverage() << "\n";
    return 0;
}
