// The events a writer killed at random moments records, the same in the
// writer and the check; a caption of several lines, commas and quotes, so a
// cut can fall inside a quoted field.
#pragma once

#include <string>

#include "platform/DebateRecord.h"

namespace testsupport {

inline platform::DebateEvent KilledWriterEvent(int n) {
    platform::DebateEvent event;
    event.kind = static_cast<platform::DebateEventKind>(n % 12);
    event.wall = {2026, 12, 7, 14, 3, 9};
    event.steadyMs = 70'000 + n * 7;
    event.page = 1 + n % 11;
    event.caption = "第" + std::to_string(n) + "条,\"辩论\"\r\n" + std::string(static_cast<std::size_t>(n % 40), 'x');
    event.countdown = n % 3;
    event.side = n % 2 ? "正方" : "反方";
    event.remaining = n;
    event.allowance = 180;
    event.seconds = n % 60;
    return event;
}

}  // namespace testsupport
