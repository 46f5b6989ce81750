// The debate record's file: a header, then one CSV record per event, with the
// wall-clock time to the second and the steady offset from the first event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DebateRecord.h"

namespace record {

// What starts every record file: the byte-order mark and the column names,
// with the stages' kinds as a last column for a debate on a format of its own.
std::string RecordFileHeader(bool stageKinds = false);

// One event as a CSV record; `firstSteadyMs` is the first event's steady time.
std::string EncodeEvent(const platform::DebateEvent& event, std::int64_t firstSteadyMs);

// The word the file uses for each kind of event.
std::string_view KindWord(platform::DebateEventKind kind);

// "2026-12-07 14:03:09"
std::string FormatDateTime(const platform::LocalTime& time);

struct ParsedRecord {
    // In file order; steadyMs is the offset from the first event.
    std::vector<platform::DebateEvent> events;
    // The line where a record cut off by an interrupted write starts; it is
    // left out. Empty when the file ends with a whole record.
    std::optional<int> unfinishedLine;
};

// Reads a record file back. Throws CsvError naming the line for anything that
// is not a record file this program wrote (or one a spreadsheet saved again).
ParsedRecord ParseRecord(std::string_view bytes);

}  // namespace record
