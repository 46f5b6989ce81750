// The debate record's file: a header, then one CSV record per event, with the
// wall-clock time to the second and the steady offset from the first event.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DebateRecord.h"
#include "record/Csv.h"

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

// The longest span a record may cover, from its first event to its last: far
// beyond any program's run (about 115 days), and small enough that every sum
// of seconds the summary makes stays in range.
inline constexpr std::int64_t kMostOffsetMs = 10'000'000'000;

// Reads a record file's events one at a time, so a large file costs no more
// than its own bytes. Throws CsvError naming the line for anything that is not
// a record file this program wrote (or one a spreadsheet saved again, whose
// times may lose their seconds and use "/").
class RecordReader final {
public:
    // Checks the header line at once.
    explicit RecordReader(std::string_view bytes);
    // The next event (steadyMs is the offset from the first event); false at
    // the end.
    bool Next(platform::DebateEvent& event);
    // The line where a record cut off by an interrupted write starts; it is
    // left out. Empty when the file ends with a whole record. Known once Next
    // has returned false.
    std::optional<int> UnfinishedLine() const;

private:
    CsvReader csv_;
    CsvRow row_;
    std::size_t columns_ = 0;  // a classic record's ten, or eleven with the stages' kinds
    std::optional<std::int64_t> lastOffset_;
};

struct ParsedRecord {
    // In file order; steadyMs is the offset from the first event.
    std::vector<platform::DebateEvent> events;
    std::optional<int> unfinishedLine;  // as RecordReader tells it
};

// A whole record file's events, for a file known to be small.
ParsedRecord ParseRecord(std::string_view bytes);

}  // namespace record
