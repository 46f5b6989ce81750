// The summary as text: a table for a terminal, tab-separated text to paste
// into a spreadsheet or a chat, and CSV to save.
#pragma once

#include <string>
#include <vector>

#include "record/Summary.h"

namespace record {

// The summary's cells as every form shows them: the debate's start and end,
// then the column names and one row per stage run (empty cells where a column
// does not apply to the stage).
struct SummaryTable {
    std::vector<std::vector<std::string>> lines;  // "开始", time; "结束", time
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    // The overtime's column, and for each row whether it ran over: a window shows that cell in red.
    std::size_t overtimeColumn = 0;
    std::vector<bool> overtime;
};

SummaryTable Tabulate(const Summary& summary);

// Columns padded to line up in a terminal, a Chinese character being two wide.
std::string AsText(const Summary& summary);
// Tabs between cells, one line per row; a caption's tabs and line breaks become spaces.
std::string AsTabSeparated(const Summary& summary);
// The same cells as a CSV file with a byte-order mark.
std::string AsCsv(const Summary& summary);

// The name a window's save dialog suggests for the summary taken at `now`:
// "辩论小结 2026-12-07 14-03-27.csv" (no ":", which Windows refuses in a name).
std::string SuggestedSummaryName(const platform::LocalTime& now);

// Columns a string takes in a terminal (East Asian wide characters take two).
int DisplayWidth(const std::string& text);

}  // namespace record
