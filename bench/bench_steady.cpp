// What the window costs while it runs for a whole competition.
//
// CPU: the real window in its real event loop with countdown 1 running (its
// tick and relayout every second, the wall clock beside it), as a share of one
// core over the run, from getrusage of the whole process.
//
// Memory: after a warm-up, many page changes (each rebuilds the bar: real Qt
// buttons created and deleted, their deferred deletes carried out, the window
// repainted) and many countdown ticks driven straight through the logic, with
// the countdown running through its half-minute cue, its end and a reset
// again and again. The resident size before and after shows whether anything
// piles up. Under the sanitizer build the same run is LeakSanitizer's case.
//
//   build/bench/bench_steady [--cpu-seconds 60] [--pages 10000] [--ticks 100000]
#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <iomanip>
#include <iostream>

#include "BenchHarness.h"

namespace {

constexpr long kMemoryBoundKb = 1024;
// A countdown long enough to meet its cue and its end every couple of hundred ticks.
constexpr int kStageSeconds = 200;
constexpr std::int16_t kPageCount = 12;  // the home page and the eleven stages
// Painting is let through now and then, as a second of real time would.
constexpr long kTicksPerRepaint = 100;

// A loop of its own rather than the application's: quitting the application
// would close the window, and the memory run after it would paint nothing.
void RunEventLoopFor(long seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void CarryOutPendingWork() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void ChangePages(bench::TimerWindow& window, long changes) {
    for (long i = 0; i < changes; ++i) {
        window.Logic().ShowPage(static_cast<std::int16_t>(i % kPageCount));
        CarryOutPendingWork();
    }
}

// Ticks countdown 1 of the first speech through its whole life over and over.
void Tick(bench::TimerWindow& window, long ticks) {
    frmMain& logic = window.Logic();
    logic.ShowPage(1);
    logic.StartTimer1();
    for (long i = 1; i <= ticks; ++i) {
        logic.tmrTimer1_Timer();
        if (!window.Form().tmrTimer1.Enabled()) {  // the zero tick stopped it
            logic.ResetTimer1();
            logic.StartTimer1();
        }
        if (i % kTicksPerRepaint == 0) CarryOutPendingWork();
    }
    logic.StopTimer1();
    CarryOutPendingWork();
}

void MeasureCpu(bench::TimerWindow& window, long seconds) {
    window.Logic().ShowPage(0);
    window.StartFirstSpeech();
    int ticks = 0;
    platform::QtTimer& timer1 = window.Form().tmrTimer1;
    const std::function<void()> tick = timer1.onTick;
    timer1.onTick = [&] {
        ++ticks;
        tick();
    };

    const double cpuBefore = bench::CpuSeconds();
    const auto wallBefore = bench::Clock::now();
    RunEventLoopFor(seconds);
    const double cpu = bench::CpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(bench::Clock::now() - wallBefore).count();
    timer1.onTick = tick;
    window.Logic().StopTimer1();

    std::cout << std::fixed << std::setprecision(3) << "countdown running " << wall << " s (" << ticks
              << " ticks, display " << window.Form().lblTimer1.Caption() << "): CPU " << cpu << " s = "
              << cpu / wall * 100 << " % of one core\n";
}

// The process's memory at one moment, in kB.
struct Footprint {
    long rss = bench::StatusKb("VmRSS");
    long anonymous = bench::StatusKb("RssAnon");  // without the mapped font and library files
    long heap = bench::HeapInUseKb();
};

void PrintGrowth(const std::string& what, const Footprint& from, const Footprint& to) {
    std::cout << "  " << what << ": VmRSS " << from.rss << " -> " << to.rss << " kB (" << std::showpos
              << to.rss - from.rss << "), RssAnon " << to.anonymous - from.anonymous << " kB, heap in use "
              << to.heap - from.heap << std::noshowpos << " kB\n";
}

void MeasureMemory(bench::TimerWindow& window, long pages, long ticks) {
    // Fonts, glyphs, pictures and the allocator's pools reach their working size first.
    ChangePages(window, std::max(1L, pages / 10));
    Tick(window, std::max(1L, ticks / 10));
    const Footprint before;

    const auto started = bench::Clock::now();
    ChangePages(window, pages);
    const Footprint afterPages;
    Tick(window, ticks);
    const Footprint after;
    const double seconds = std::chrono::duration<double>(bench::Clock::now() - started).count();

    std::cout << std::fixed << std::setprecision(1) << "memory: " << pages << " page changes and " << ticks
              << " ticks in " << seconds << " s (" << window.Sound().Played() << " cues), after a tenth of each as warm-up\n";
    PrintGrowth("page changes", before, afterPages);
    PrintGrowth("ticks", afterPages, after);
    PrintGrowth("both", before, after);
    std::cout << "  peak VmHWM " << bench::StatusKb("VmHWM") << " kB\n";
#ifndef __SANITIZE_ADDRESS__
    std::cout << "target: VmRSS growth under " << kMemoryBoundKb << " kB: "
              << (after.rss - before.rss < kMemoryBoundKb ? "met" : "missed") << "\n";
#endif
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const long cpuSeconds = bench::Option(argc, argv, "--cpu-seconds", 60);
    const long pages = bench::Option(argc, argv, "--pages", 10000);
    const long ticks = bench::Option(argc, argv, "--ticks", 100000);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::cout << "load average at start: " << bench::LoadAverage() << "\n";
#ifdef __SANITIZE_ADDRESS__
    // Freed memory waits in AddressSanitizer's quarantine, so resident size only grows.
    std::cout << "built with AddressSanitizer: the memory figures mean nothing here; its leak report at exit does\n";
#endif

    {
        const bench::RunFolder folder(kStageSeconds);
        bench::TimerWindow window(folder);
        window.Open();
        if (cpuSeconds > 0) MeasureCpu(window, cpuSeconds);
        MeasureMemory(window, pages, ticks);
    }
    std::cout << "load average at end: " << bench::LoadAverage() << "\n";
    return 0;
}
