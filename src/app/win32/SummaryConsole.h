// `Tolvanexa.exe --summary FILE.csv` and `Tolvanexa.exe /?` on Windows. The
// program is a windowed one, which Windows starts without a console: the text
// goes to standard output where the caller redirected it (a file, a pipe),
// else to the console the program was started from; with neither (a shortcut,
// Explorer) a summary is written to a text file beside the record, and a
// message says where (the usage is shown in the message itself).
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"

// The program's own command line, in UTF-8.
CommandLine ProgramCommandLine();

// Answers a command line that opens no timer window (the summary, the usage,
// a wrong one) and returns the exit status, as on Linux.
int AnswerCommandLine(const CommandLine& line);

// Writes the summary `table` beside the record as a new text file (UTF-8 with
// a byte-order mark, CR LF), never over another file: "FILE.txt", else
// "FILE (2).txt" and so on. Returns its path; throws platform::FileError.
std::string WriteSummaryBeside(const std::string& record, const std::string& table);
