// A long, busy debate for the record's figures on both editions: its file's
// size and what writing it costs.
#pragma once

#include <string>
#include <vector>

#include "platform/DebateRecord.h"

namespace bench {

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
    questioning(4, "反二选择正二、三", "反方", "正方");
    questioning(5, "正三选择反二、三", "正方", "反方");
    questioning(6, "反三选择正二、三", "反方", "正方");
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

}  // namespace bench
