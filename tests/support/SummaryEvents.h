// Debates the summary's tests share on both editions, one with commas, quotes and line breaks in its captions.
#pragma once

#include <string>
#include <vector>

#include "platform/DebateRecord.h"
#include "record/RecordCsv.h"

namespace testsupport {

// An event at `ms` on the steady clock, and on the wall clock from `hour`:`minute`; countdown 1 is 正方's.
inline platform::DebateEvent MakeEvent(platform::DebateEventKind kind, int page, const std::string& caption,
                                       int countdown, std::int64_t ms, int hour, int minute, int allowance) {
    platform::DebateEvent event;
    event.kind = kind;
    event.wall = {2026, 12, 7, hour, minute, static_cast<int>(ms / 1000 % 60)};
    event.steadyMs = ms;
    event.page = page;
    event.caption = caption;
    event.countdown = countdown;
    event.side = countdown == 0 ? "" : countdown == 1 ? "正方" : "反方";
    event.allowance = countdown ? allowance : 0;
    return event;
}

inline std::vector<platform::DebateEvent> TwoStages(const std::string& secondCaption = "正一辩攻辩小结") {
    using K = platform::DebateEventKind;
    std::vector<platform::DebateEvent> events;
    const auto add = [&](K kind, int page, const std::string& caption, int countdown, std::int64_t ms) {
        events.push_back(MakeEvent(kind, page, caption, countdown, ms, 14, 0, 30));
    };
    add(K::PageEntered, 1, "正方一辩发言", 0, 0);
    add(K::Started, 1, "正方一辩发言", 1, 0);
    add(K::TimeUp, 1, "正方一辩发言", 1, 31'000);
    add(K::OvertimeEnded, 1, "正方一辩发言", 1, 36'500);
    add(K::PageEntered, 7, secondCaption, 0, 40'000);
    add(K::Started, 7, secondCaption, 1, 40'000);
    add(K::Paused, 7, secondCaption, 1, 50'000);
    return events;
}

inline std::vector<platform::DebateEvent> OddCaptionsDebate() {
    using K = platform::DebateEventKind;
    std::vector<platform::DebateEvent> events;
    const auto add = [&](K kind, int page, const std::string& caption, int countdown, std::int64_t ms) {
        events.push_back(MakeEvent(kind, page, caption, countdown, ms, 19, 30, 180));
    };
    const std::string odd = "决赛, \"第一场\"\r\n正方一辩";
    add(K::PageEntered, 1, odd, 0, 0);
    add(K::Started, 1, odd, 1, 500);
    add(K::Paused, 1, odd, 1, 20'500);
    add(K::Resumed, 1, odd, 1, 25'500);
    add(K::PageLeft, 1, odd, 0, 45'500);
    add(K::PageEntered, 9, "自由辩论", 0, 50'000);
    add(K::Started, 9, "自由辩论", 1, 50'000);
    add(K::SideSwitched, 9, "自由辩论", 2, 60'000);
    add(K::PageLeft, 9, "自由辩论", 0, 75'000);
    return events;
}

// The record file the program would have written for `events`.
inline std::string RecordFileOf(const std::vector<platform::DebateEvent>& events) {
    std::string file = record::RecordFileHeader();
    for (const auto& event : events) file += record::EncodeEvent(event, 0);
    return file;
}

}  // namespace testsupport
