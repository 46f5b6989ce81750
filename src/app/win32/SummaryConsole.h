// `Tolvanexa.exe --summary FILE.csv` on Windows. The program is a windowed
// one, which Windows starts without a console: the table goes to standard
// output where the caller redirected it (a file, a pipe), else to the console
// the program was started from; with neither (a shortcut, Explorer) it is
// written to a text file beside the record, and a message says where.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The arguments after the program's name, in UTF-8, when the command line
// asks for a summary; nullopt when the program is to start its window.
std::optional<std::vector<std::string>> SummaryCommandLine();

// Prints the summary (or the error) and returns the exit status, as on Linux.
int RunSummary(const std::vector<std::string>& arguments);

// Writes the summary `table` beside the record as a new text file (UTF-8 with
// a byte-order mark, CR LF), never over another file: "FILE.txt", else
// "FILE (2).txt" and so on. Returns its path; throws platform::FileError.
std::string WriteSummaryBeside(const std::string& record, const std::string& table);
