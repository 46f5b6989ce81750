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

// A long, busy debate through all 11 stages: three pauses in each speech, six
// answers in each questioning, forty turns in free debate, a time up with
// overtime and a reset, with the shipped captions and allowances.
inline std::vector<platform::DebateEvent> BusyDebate() {
    using K = platform::DebateEventKind;
    std::vector<platform::DebateEvent> events;
    std::int64_t ms = 0;
    int page = 0;
    std::string caption;
    const auto add = [&](K kind, int countdown, const char* side, int allowance, int remaining, int seconds = 0) {
        platform::DebateEvent event;
        event.kind = kind;
        event.wall = {2026, 12, 7, 19 + static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                      static_cast<int>(ms / 1000 % 60)};
        event.steadyMs = ms;
        event.page = page;
        event.caption = caption;
        event.countdown = countdown;
        event.side = countdown ? side : "";
        event.allowance = countdown ? allowance : 0;
        event.remaining = countdown ? remaining : 0;
        event.seconds = seconds;
        events.push_back(event);
    };
    const auto speech = [&](int p, const char* name, const char* side, int allowance) {
        page = p;
        caption = name;
        add(K::PageEntered, 0, "", 0, 0);
        add(K::Started, 1, side, allowance, allowance);
        for (int pause = 0; pause < 3; ++pause) {
            ms += 40'123;
            add(K::Paused, 1, side, allowance, allowance - 40 * (pause + 1));
            ms += 5'321;
            add(K::Resumed, 1, side, allowance, allowance - 40 * (pause + 1));
        }
        ms += 30'000;
        add(K::ThirtySeconds, 1, side, allowance, 30);
        ms += 31'000;
        add(K::TimeUp, 1, side, allowance, 0);
        ms += 6'789;
        add(K::OvertimeEnded, 1, side, allowance, 0, 6);
        add(K::PageLeft, 0, "", 0, 0);
    };
    const auto questioning = [&](int p, const char* name, const char* asks, const char* answers) {
        page = p;
        caption = name;
        add(K::PageEntered, 0, "", 0, 0);
        add(K::Started, 1, asks, 90, 90);
        for (int answer = 0; answer < 6; ++answer) {
            ms += 4'000;
            add(K::AnswerStarted, 2, answers, 20, 20);
            ms += 9'500;
            add(K::AnswerHandedBack, 2, answers, 20, 11, 9);
        }
        ms += 2'000;
        add(K::ThirtySeconds, 1, asks, 90, 30);
        ms += 31'000;
        add(K::TimeUp, 1, asks, 90, 0);
        ms += 1'500;
        add(K::OvertimeEnded, 1, asks, 90, 0, 1);
        add(K::PageLeft, 0, "", 0, 0);
    };
    speech(1, "正方一辩发言", "正方", 180);
    speech(2, "反方一辩发言", "反方", 180);
    questioning(3, "正二选择反二、三", "正方", "反方");
    questioning(4, "反二选择反二、三", "反方", "正方");
    questioning(5, "正三选择反二、三", "正方", "反方");
    questioning(6, "反三选择反二、三", "反方", "正方");
    speech(7, "正一辩攻辩小结", "正方", 90);
    speech(8, "反一辩攻辩小结", "反方", 90);
    page = 9;
    caption = "自由辩论";
    add(K::PageEntered, 0, "", 0, 0);
    add(K::Started, 1, "正方", 240, 240);
    for (int turn = 1; turn < 40; ++turn) {
        ms += 11'000;
        add(K::SideSwitched, turn % 2 + 1, turn % 2 ? "反方" : "正方", 240, 240 - 11 * (turn / 2));
    }
    add(K::Reset, 0, "", 0, 0);
    add(K::PageEntered, 0, "", 0, 0);
    add(K::PageLeft, 0, "", 0, 0);
    speech(10, "反方四辩总结陈词", "反方", 240);
    speech(11, "正方四辩总结陈词", "正方", 240);
    return events;
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
