// `Tolvanexa --summary FILE.csv`: the summary of a record file as a table on
// standard output, without a window. Shared by every front end's entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/RecordFile.h"

namespace record {

inline constexpr const char* kSummaryOption = "--summary";

// Prints the summary of the one file in `arguments` to `out`, or a clear
// message naming the file and the line to `err`. Returns the exit status:
// 0 done, 1 the file could not be read or is no record, 2 a wrong command line.
int RunSummaryCommand(const std::vector<std::string>& arguments, platform::RecordFiles& files, std::ostream& out,
                      std::ostream& err);

}  // namespace record
