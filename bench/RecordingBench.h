// What recording costs the timer: tick lateness of the first speech's
// countdown with the debate record written (a synced append on the writer's
// thread at every tick, far more than a debate asks) and with none, one after
// the other in the same run; and the size of a whole 11-stage debate's file.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <iomanip>
#include <iostream>
#include <optional>

#include "BenchHarness.h"
#include "BusyDebate.h"
#include "platform/posix/PosixRecordFile.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"

namespace bench {

// Lateness of each tick against start + k seconds, in milliseconds; `each`
// runs within every tick, after the window's own handling.
inline std::vector<double> RecordingLateness(TimerWindow& window, std::size_t ticks, const std::function<void(int)>& each) {
    window.Open();
    window.Click(0);  // home page: the first speech
    QCoreApplication::processEvents();
    std::vector<double> late;
    QEventLoop loop;
    platform::QtTimer& timer1 = window.Form().tmrTimer1;
    const std::function<void()> tick = timer1.onTick;
    Clock::time_point start;
    timer1.onTick = [&] {
        const auto arrived = Clock::now();
        tick();
        each(static_cast<int>(late.size()));
        late.push_back(Milliseconds(arrived - (start + std::chrono::seconds(late.size() + 1))));
        if (late.size() >= ticks) loop.quit();
    };
    start = Clock::now();
    window.Click(0);  // "开始"
    QTimer::singleShot(static_cast<int>((ticks + 10) * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    timer1.onTick = tick;
    return late;
}

inline platform::DebateEvent TickEvent(int n, std::int64_t steadyMs) {
    platform::DebateEvent event;
    event.kind = platform::DebateEventKind::Resumed;
    event.wall = {2026, 12, 7, 19, 30 + n / 60 % 30, n % 60};
    event.steadyMs = steadyMs;
    event.page = 1;
    event.caption = "正方一辩发言";
    event.countdown = 1;
    event.side = "正方";
    event.remaining = 180 - n % 180;
    event.allowance = 180;
    return event;
}

inline void PrintLateness(const std::string& name, const std::vector<double>& late) {
    std::vector<double> distance;
    for (double ms : late) distance.push_back(std::fabs(ms));
    const Spread spread = Summarise(distance, 3.0);
    std::cout << std::fixed << std::setprecision(3) << "  " << name << ": " << late.size()
              << " ticks, |lateness| p50/p99/max " << spread.p50 << " / " << spread.p99 << " / " << spread.max
              << " ms, " << std::setprecision(1) << spread.withinShare * 100 << " % within 3 ms\n";
}

// Recording off, then on, each over `ticks` ticks of a fresh window.
inline void CompareRecording(std::size_t ticks) {
    std::cout << "recording off / on, " << ticks << " ticks each, one after the other:\n";
    std::vector<double> off;
    {
        RunFolder folder(static_cast<int>(ticks) + 60);
        TimerWindow window(folder);
        off = RecordingLateness(window, ticks, [](int) {});
    }
    std::vector<double> on;
    std::string file;
    std::size_t events = 0;
    {
        RunFolder folder(static_cast<int>(ticks) + 60);
        platform::PosixRecordFiles files;
        record::RecordWriter writer(files, [](const std::string& message) { std::cout << message << "\n"; });
        writer.WriteTo(folder.File("records"));
        {
            TimerWindow window(folder, nullptr, &writer);
            platform::QtClock clock;
            on = RecordingLateness(window, ticks, [&](int n) { writer.Record(TickEvent(n, clock.SteadyMilliseconds())); });
        }
        writer.WaitUntilWritten(std::chrono::seconds(10));
        events = writer.Events().size();
        file = writer.FilePath();
    }
    PrintLateness("recording off", off);
    PrintLateness("recording on ", on);
    std::cout << "  events written with recording on: " << events << "\n";
}

// The busy debate written by the real writer to a real file.
inline void RecordFileSize() {
    RunFolder folder;
    platform::PosixRecordFiles files;
    std::string path;
    const std::vector<platform::DebateEvent> events = BusyDebate();
    const auto started = Clock::now();
    {
        record::RecordWriter writer(files, [](const std::string& message) { std::cout << message << "\n"; });
        writer.WriteTo(folder.File("records"));
        for (const auto& event : events) writer.Record(event);
        writer.WaitUntilWritten(std::chrono::seconds(30));
        path = writer.FilePath();
    }
    const double elapsed = Milliseconds(Clock::now() - started);
    std::cout << std::setprecision(1) << "a whole 11-stage debate: " << events.size() << " events, "
              << ReadBytes(path).size() << " bytes in its record file (target under 20,000); written and synced in "
              << elapsed << " ms (" << elapsed / static_cast<double>(events.size()) << " ms per event)\n";
}

}  // namespace bench
