// `Tolvanexa --summary FILE.csv`: the summary of a record file as a table on
// standard output, without a window. Shared by every front end's entry.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RecordFile.h"
#include "record/Summary.h"

namespace record {

inline constexpr const char* kSummaryOption = "--summary";
// More stage runs than some 500 debates' is no record of this program's; the
// limit keeps the summary's memory small whatever the file holds.
inline constexpr std::size_t kMostStageRuns = 10'000;

struct RecordSummary {
    Summary summary;
    std::optional<int> unfinishedLine;  // a last record cut short, left out
};

// The summary of a record file's bytes, read one record at a time: UTF-8 as
// the program writes it, or GBK as a spreadsheet on a Chinese Windows saves
// it again. Throws CsvError naming the line.
RecordSummary SummariseRecord(std::string_view bytes, const platform::TextCodec& codec);

// Prints the summary of the one file in `arguments` to `out`, or a clear
// message naming the file (and the line) to `err`. Returns the exit status:
// 0 done, 1 the file could not be read or is no record, or the summary could
// not be written out; 2 a wrong command line.
int RunSummaryCommand(const std::vector<std::string>& arguments, platform::RecordFiles& files,
                      const platform::TextCodec& codec, std::ostream& out, std::ostream& err);

}  // namespace record
