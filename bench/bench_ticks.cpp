// How true a running countdown keeps to the second. The real window runs its
// real event loop: countdown 1 of the first speech is started by a click on
// "开始" and its one-second timer ticks it, with the relayout after every tick
// and the wall clock ticking beside it. Each tick is stamped as it arrives and
// compared with its due time, start + k seconds. Beside it, half a second out
// of phase so neither holds the other up, a timer of Qt's default coarse type
// runs over the same span: the reason the window's timers are precise ones.
//
//
// Then a bell at an answer's zero on a questioning page: countdown 1 (the
// questioner's whole time) runs while an answer's countdown 2 reaches zero and
// asks for a 2-second bell, a real sound file through the real SDL cue queue.
// Countdown 1's ticks through the bell are set beside the same run with silent
// cues and beside a queue that holds the tick for the bell's length, as the
// window's cues did before they had a thread of their own.
//
// Last, tick lateness with the debate record written and without, and the
// size of a whole debate's record file.
//
//   build/bench/bench_ticks [--ticks N] [--bell-ticks M] [--record-ticks R]
//   (N defaults to 120: about 121 s; M to 10, three runs of about M s; R to 60, two runs of about R s)
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iomanip>
#include <iostream>
#include <memory>
#include <numbers>
#include <thread>
#include <vector>

#include "BenchHarness.h"
#include "platform/sdl/SdlSound.h"
#include "RecordingBench.h"

namespace {

// What the time-keeper can tell: the last tick of a speech within 5 ms of its
// second, and nearly every tick within 3 ms of its due time.
constexpr double kDriftBoundMs = 5.0;
constexpr double kTickBoundMs = 3.0;
// Ticks arrive once a second; the coarse timer starts this far into the
// precise one's second.
constexpr int kPhaseOffsetMs = 500;

struct Series {
    bench::Clock::time_point start;
    std::vector<bench::Clock::time_point> arrivals;

    // Time between one tick and the next, in milliseconds: the length of each second shown.
    std::vector<double> Intervals() const {
        std::vector<double> lengths;
        for (std::size_t k = 1; k < arrivals.size(); ++k) {
            lengths.push_back(bench::Milliseconds(arrivals[k] - arrivals[k - 1]));
        }
        return lengths;
    }

    // Lateness of tick k against start + k seconds, in milliseconds.
    std::vector<double> Lateness() const {
        std::vector<double> late;
        for (std::size_t k = 0; k < arrivals.size(); ++k) {
            const auto due = start + std::chrono::seconds(k + 1);
            late.push_back(bench::Milliseconds(arrivals[k] - due));
        }
        return late;
    }
};

// A coarse timer fires early as well as late, so the spread is of the
// distance from the due time either way; lateness is signed.
std::vector<double> Distance(const std::vector<double>& lateness) {
    std::vector<double> distance;
    for (double ms : lateness) distance.push_back(std::fabs(ms));
    return distance;
}

double Shortest(const std::vector<double>& values) {
    return values.empty() ? NAN : *std::min_element(values.begin(), values.end());
}

double Longest(const std::vector<double>& values) {
    return values.empty() ? NAN : *std::max_element(values.begin(), values.end());
}

void PrintSeries(const std::string& name, const Series& series, std::size_t ticks) {
    const std::vector<double> late = series.Lateness();
    const bench::Spread spread = bench::Summarise(Distance(late), kTickBoundMs);
    std::cout << std::fixed << std::setprecision(3);
    std::cout << name << ": " << late.size() << " of " << ticks << " ticks\n";
    if (late.empty()) return;
    std::cout << "  drift of tick " << late.size() << ":           " << late.back() << " ms\n"
              << "  earliest / latest tick:  " << *std::min_element(late.begin(), late.end()) << " / "
              << *std::max_element(late.begin(), late.end()) << " ms\n"
              << "  shortest / longest second: " << Shortest(series.Intervals()) << " / " << Longest(series.Intervals())
              << " ms\n"
              << "  |lateness| p50/p99/max:  " << spread.p50 << " / " << spread.p99 << " / " << spread.max << " ms\n"
              << "  ticks within " << std::setprecision(0) << kTickBoundMs << " ms:      " << std::setprecision(1)
              << spread.withinShare * 100 << " %\n";
}

double Ratio(double coarse, double precise) { return precise > 0 ? coarse / precise : NAN; }

// The answer's length on the questioning page, and the bell it rings at its zero.
constexpr int kAnswerSeconds = 3;
constexpr double kBellSeconds = 2.0;
constexpr int kQuestionerSeconds = 60;  // no half-minute chime within the run

// A 660 Hz tone of the bell's length, as a 16-bit WAV.
void WriteBell(const std::string& path) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::vector<float> samples(static_cast<std::size_t>(kBellSeconds * info.samplerate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 660.0 * static_cast<double>(i) / 44100));
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error("cannot write " + path);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// The cues as they played before the queue: on the window's thread, the tick
// waiting for the bell's length.
class CuesOnTheTick final : public platform::CueQueue {
public:
    void Play(const std::string& /*name*/) override {
        std::this_thread::sleep_for(std::chrono::duration<double>(kBellSeconds));
    }
    void DropWaiting() override {}
    void StopAll() override {}
    platform::CueCheck Check(const std::string& /*name*/) override { return {}; }
};

using CuesFor = std::function<std::unique_ptr<platform::CueQueue>(const std::string& folder)>;

// Questioning page 3: "开始" starts countdown 1, the side button an answer at
// once; the answer's zero tick asks for the bell. Countdown 1's ticks are stamped.
Series RunThroughTheBell(const CuesFor& makeCues, std::size_t ticks, std::string& shownAfter) {
    bench::RunFolder folder({{"Stage3Timer1", std::to_string(kQuestionerSeconds)},
                             {"Stage3Timer2", std::to_string(kAnswerSeconds)},
                             {"Sound0Seconds", "bell.wav"},
                             {"Sound30Seconds", ""}});
    WriteBell(folder.File("bell.wav"));
    const std::unique_ptr<platform::CueQueue> cues = makeCues(folder.Path());
    bench::TimerWindow window(folder, cues.get());
    window.Open();
    window.Click(3);  // home page: the affirmative questions, the negative answers
    QCoreApplication::processEvents();

    Series series;
    QEventLoop loop;
    platform::QtTimer& timer1 = window.Form().tmrTimer1;
    const std::function<void()> tick = timer1.onTick;
    timer1.onTick = [&] {
        if (series.arrivals.size() < ticks) series.arrivals.push_back(bench::Clock::now());
        tick();
        if (series.arrivals.size() >= ticks) loop.quit();
    };
    series.start = bench::Clock::now();
    window.Click(0);  // "开始"
    window.Click(2);  // "反方": the answer runs beside the questioner
    QTimer::singleShot(static_cast<int>((ticks + 10) * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    shownAfter = window.Form().lblTimer1.Caption();
    if (cues) cues->StopAll();
    return series;
}

void PrintBellRun(const std::string& name, const Series& series, std::size_t ticks, const std::string& shown) {
    const std::vector<double> late = series.Lateness();
    const bench::Spread spread = bench::Summarise(Distance(late), kTickBoundMs);
    std::cout << std::fixed << std::setprecision(1) << name << ": " << late.size() << " of " << ticks
              << " ticks; countdown 1 shows " << shown << " after them\n";
    if (late.empty()) return;
    std::cout << "  |lateness| p50 / p99 / max: " << std::setprecision(3) << spread.p50 << " / " << spread.p99 << " / "
              << spread.max << " ms; last tick " << late.back() << " ms\n  lateness by tick (ms):";
    for (double ms : late) std::cout << " " << std::setprecision(1) << ms;
    std::cout << "\n";
}

std::string Expected(std::size_t ticks) {
    const long left = kQuestionerSeconds - static_cast<long>(ticks);
    char text[48];
    std::snprintf(text, sizeof text, "%02ld:%02ld", left / 60, left % 60);
    return text;
}

void MeasureTheBell(std::size_t ticks) {
    std::cout << "\nquestioning page, the answer's " << kBellSeconds << " s bell at its zero (tick "
              << kAnswerSeconds + 1 << "), countdown 1 expected at " << Expected(ticks) << " after " << ticks
              << " ticks\n";
    const std::pair<const char*, CuesFor> runs[] = {
        {"silent cues", [](const std::string&) { return std::make_unique<bench::SilentSound>(); }},
        {"the bell through the SDL cue queue",
         [](const std::string& folder) { return std::make_unique<platform::SdlSound>(folder); }},
        {"the bell held on the tick (cues before the queue)",
         [](const std::string&) { return std::make_unique<CuesOnTheTick>(); }},
    };
    for (const auto& [name, makeCues] : runs) {
        std::string shown;
        const Series series = RunThroughTheBell(makeCues, ticks, shown);
        PrintBellRun(name, series, ticks, shown);
    }
}

// The first speech's countdown 1 ticked by the window's precise timer, and a
// coarse timer beside it over the same span, half a second out of phase.
struct TickRun {
    Series precise;
    Series coarse;
    std::vector<double> handlingMs;
};

TickRun RunTicks(bench::TimerWindow& window, std::size_t ticks) {
    TickRun run;
    // A loop of its own: quitting the application would close the window first.
    QEventLoop loop;
    const auto finishIfDone = [&] {
        if (run.precise.arrivals.size() >= ticks && run.coarse.arrivals.size() >= ticks) loop.quit();
    };

    platform::QtTimer& timer1 = window.Form().tmrTimer1;
    const std::function<void()> tick = timer1.onTick;
    timer1.onTick = [&] {
        const auto arrived = bench::Clock::now();
        if (run.precise.arrivals.size() < ticks) run.precise.arrivals.push_back(arrived);
        tick();
        run.handlingMs.push_back(bench::Milliseconds(bench::Clock::now() - arrived));
        finishIfDone();
    };

    QTimer coarseTimer;
    coarseTimer.setTimerType(Qt::CoarseTimer);
    coarseTimer.setInterval(1000);
    QObject::connect(&coarseTimer, &QTimer::timeout, [&] {
        if (run.coarse.arrivals.size() < ticks) run.coarse.arrivals.push_back(bench::Clock::now());
        finishIfDone();
    });

    run.precise.start = bench::Clock::now();
    window.Click(0);  // "开始"
    QTimer::singleShot(kPhaseOffsetMs, Qt::PreciseTimer, [&] {
        run.coarse.start = bench::Clock::now();
        coarseTimer.start();
    });
    // A timer that stalls altogether still ends the run, with what it gathered.
    QTimer::singleShot(static_cast<int>((ticks + 10) * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    coarseTimer.stop();
    timer1.onTick = tick;
    return run;
}

void PrintTicks(const TickRun& run, std::size_t ticks) {
    PrintSeries("precise timer (the window's)", run.precise, ticks);
    PrintSeries("coarse timer (Qt's default)", run.coarse, ticks);

    const bench::Spread handling = bench::Summarise(run.handlingMs, kTickBoundMs);
    std::cout << std::setprecision(3) << "tick handling with relayout p50 / max: " << handling.p50 << " / "
              << handling.max << " ms\n";

    const auto preciseLate = run.precise.Lateness();
    const auto coarseLate = run.coarse.Lateness();
    if (preciseLate.empty() || coarseLate.empty()) return;
    const bench::Spread p = bench::Summarise(Distance(preciseLate), kTickBoundMs);
    const bench::Spread c = bench::Summarise(Distance(coarseLate), kTickBoundMs);
    std::cout << std::setprecision(1) << "coarse / precise: p50 x" << Ratio(c.p50, p.p50) << ", p99 x"
              << Ratio(c.p99, p.p99) << ", max x" << Ratio(c.max, p.max) << "\n";
    std::cout << "target: last tick within " << kDriftBoundMs << " ms: "
              << (std::fabs(preciseLate.back()) <= kDriftBoundMs ? "met" : "missed") << "; 99 % within "
              << kTickBoundMs << " ms: " << (p.withinShare >= 0.99 ? "met" : "missed") << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto ticks = static_cast<std::size_t>(bench::Option(argc, argv, "--ticks", 120));
    const auto bellTicks = static_cast<std::size_t>(bench::Option(argc, argv, "--bell-ticks", 10));
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::cout << "load average at start: " << bench::LoadAverage() << "\n";
    {
        // Loaded well above the half-minute mark: no cue and no end within the run.
        bench::RunFolder folder(static_cast<int>(ticks) + 60);
        bench::TimerWindow window(folder);
        window.Open();
        window.Click(0);  // home page: the first speech
        QCoreApplication::processEvents();
        const TickRun run = RunTicks(window, ticks);
        std::cout << "countdown shows " << window.Form().lblTimer1.Caption() << " after the run (expected 01:00)\n";
        PrintTicks(run, ticks);
    }
    MeasureTheBell(bellTicks);
    bench::CompareRecording(static_cast<std::size_t>(bench::Option(argc, argv, "--record-ticks", 60)));
    bench::RecordFileSize();
    std::cout << "load average at end: " << bench::LoadAverage() << "\n";
    return 0;
}
