// Comma-separated text as spreadsheets read it: fields quoted where they hold
// a comma, a quote or a line break, records ended by CR LF, UTF-8 with a
// byte-order mark so Excel on a Chinese Windows keeps the Chinese intact.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace record {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A file that is not the CSV it should be. line() is the file's line (from 1)
// where the faulty record starts; what() says what is wrong, in Chinese,
// without the line, so the caller can name the file too.
class CsvError : public std::runtime_error {
public:
    CsvError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// One field, quoted when it has to be.
std::string CsvField(std::string_view text);
// Text a spreadsheet would take as a formula (=, +, -, @ first) is given a
// leading apostrophe, so a caption is shown, never run; an apostrophe already
// first gets one too, so TextFromCell can undo it exactly.
std::string CellText(std::string_view text);
std::string TextFromCell(std::string_view cell);
// Fields joined by commas, ended by CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

struct CsvRow {
    int line = 0;  // where the record starts
    std::vector<std::string> fields;
};

// Reads `text` (a leading byte-order mark skipped) one record at a time, so a
// large file costs no more than its own bytes. A record ends at a line break
// outside quotes (CR LF or LF).
class CsvReader final {
public:
    explicit CsvReader(std::string_view text);
    // The next record into `row`; false at the end of the text. Throws
    // CsvError for a quote inside an unquoted field or text after a closing
    // quote.
    bool Next(CsvRow& row);
    // Where the bytes after the last ended record start: a record whose
    // writing was cut off (the program killed or the power lost mid-write).
    // 0 when there are none. Known once Next has returned false.
    int UnfinishedLine() const { return unfinishedLine_; }

private:
    bool ReadFields(std::vector<std::string>& fields);

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    int unfinishedLine_ = 0;
};

}  // namespace record
