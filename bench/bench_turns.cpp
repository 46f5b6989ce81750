// Quick free-debate turns: does each side's clock show the time it really
// spoke? The real window runs its real event loop and real timers: "自由辩论"
// is opened and the floor passes between "正方" and "反方" by clicks, each turn
// of a random length from 0.3 s to 5 s. After each turn every side's shown
// time used (its allowance less its count) is set against the time it really
// held the floor, measured here on the steady clock.
//
// Beside it, in the same event loop and over the same turns, the old way: a
// precise one-second timer per side, restarted at every turn, counting its
// ticks, so each turn throws away its second in progress.
//
//   build/bench/bench_turns [--turns N] [--seed S]    (N defaults to 60: about 160 s)
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <random>
#include <string>

#include "BenchHarness.h"

namespace {

constexpr int kAllowance = 600;  // seconds a side: more than any run here uses
constexpr int kFreeDebateHome = 12;  // "自由辩论" on the home page's bar

// One side's clock as it was: ticks of a timer restarted at each turn.
struct RestartedClock {
    QTimer timer;
    int ticks = 0;
    RestartedClock() {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1000);
        QObject::connect(&timer, &QTimer::timeout, [this] { ++ticks; });
    }
};

struct Gap {
    double worst = 0;  // seconds the shown time used lagged (or led) the time spoken, at its worst
    double last = 0;
    void Take(double spoken, int shown) {
        last = spoken - shown;
        if (std::abs(last) > std::abs(worst)) worst = last;
    }
};

void Wait(int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    int turns = 60;
    unsigned seed = 20261207;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--turns") turns = std::max(2, std::atoi(argv[i + 1]));
        if (option == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    QApplication app(argc, argv);
    const std::string allowance = std::to_string(kAllowance);
    bench::RunFolder folder({{"Stage9Timer1", allowance}, {"Stage9Timer2", allowance}});
    bench::TimerWindow window(folder);
    window.Open();
    window.Click(kFreeDebateHome);

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> length(300, 5000);
    std::array<RestartedClock, 2> old;
    std::array<double, 2> spoken{};  // seconds
    std::array<Gap, 2> now, before;
    double total = 0;
    for (int turn = 0; turn < turns; ++turn) {
        const int side = turn % 2;
        const int ms = length(random);
        old[static_cast<std::size_t>(1 - side)].timer.stop();
        window.Click(side);  // 0: 正方, 1: 反方
        old[static_cast<std::size_t>(side)].timer.start();
        const auto began = bench::Clock::now();
        Wait(ms);
        spoken[static_cast<std::size_t>(side)] += bench::Milliseconds(bench::Clock::now() - began) / 1000;
        total += ms;
        const int counts[] = {window.Logic().intTimer1(), window.Logic().intTimer2()};
        for (std::size_t s = 0; s < 2; ++s) {
            now[s].Take(spoken[s], kAllowance - counts[s]);
            before[s].Take(spoken[s], old[s].ticks);
        }
    }
    window.Click(3);  // "暂停"

    std::cout << std::fixed << std::setprecision(2);
    std::cout << "free debate: " << turns << " turns of 0.3 to 5 s (seed " << seed << "), "
              << total / 1000 << " s in all, through the real event loop and timers\n";
    std::cout << "time spoken less the time used shown, in seconds (positive: the clock shows less than was spoken)\n";
    std::cout << std::setw(8) << "side" << std::setw(12) << "spoken" << std::setw(22) << "counted (restart)"
              << std::setw(22) << "counted (carried)" << '\n';
    const char* names[] = {"正方", "反方"};
    for (std::size_t s = 0; s < 2; ++s) {
        std::cout << std::setw(8) << names[s] << std::setw(12) << spoken[s] << std::setw(12) << "worst "
                  << std::setw(6) << before[s].worst << std::setw(4) << " end " << std::setw(6) << before[s].last
                  << std::setw(10) << "worst " << std::setw(6) << now[s].worst << " end " << std::setw(6)
                  << now[s].last << '\n';
    }
    return 0;
}
