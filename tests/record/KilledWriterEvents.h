// The events a writer killed at random moments records; captions with line breaks, commas and quotes. And a
// writer whose messages are kept.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DebateRecord.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"

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

// The file a killed writer left, read back: every whole record is the event
// it was given, in order, its time counted from the first; at most the last
// line is cut, and the reader leaves it out.
inline record::ParsedRecord CheckKilledWritersFile(const std::string& file, int round) {
    const record::ParsedRecord parsed = record::ParseRecord(file);
    for (std::size_t n = 0; n < parsed.events.size(); ++n) {
        platform::DebateEvent expected = KilledWriterEvent(static_cast<int>(n));
        expected.steadyMs -= KilledWriterEvent(0).steadyMs;
        EXPECT_EQ(parsed.events[n], expected) << "round " << round << ", record " << n;
        if (parsed.events[n] != expected) break;
    }
    std::cout << "round " << round << ": " << parsed.events.size() << " whole records"
              << (parsed.unfinishedLine ? ", the last one cut" : "") << "\n";
    return parsed;
}

// A writer on `Files` whose failure messages are kept, as its thread tells them.
template <class Files>
struct TellingWriter {
    explicit TellingWriter(std::chrono::milliseconds retry)
        : writer(files, [this](const std::string& message) {
              const std::lock_guard lock(mutex);
              messages.push_back(message);
          }, retry) {}
    std::vector<std::string> Messages() {
        const std::lock_guard lock(mutex);
        return messages;
    }
    Files files;
    std::mutex mutex;
    std::vector<std::string> messages;
    record::RecordWriter writer;
};

}  // namespace testsupport
