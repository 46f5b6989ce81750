#include "record/Csv.h"

namespace record {
namespace {

bool NeedsQuotes(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool LooksLikeFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@'\t\r").find(text.front()) != std::string_view::npos;
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (!NeedsQuotes(text)) return std::string(text);
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

std::string CellText(std::string_view text) {
    return LooksLikeFormula(text) ? "'" + std::string(text) : std::string(text);
}

std::string TextFromCell(std::string_view cell) {
    if (cell.size() >= 2 && cell.front() == '\'' && LooksLikeFormula(cell.substr(1))) cell.remove_prefix(1);
    return std::string(cell);
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) record += ',';
        record += CsvField(fields[i]);
    }
    return record + "\r\n";
}

CsvReader::CsvReader(std::string_view text) : text_(text) {
    if (text_.starts_with(kByteOrderMark)) text_.remove_prefix(kByteOrderMark.size());
}

bool CsvReader::Next(CsvRow& row) {
    if (at_ >= text_.size()) return false;
    row.line = line_;
    if (ReadFields(row.fields)) return true;
    unfinishedLine_ = row.line;
    at_ = text_.size();
    return false;
}

// Reads one record from at_, which it moves past the record's line break.
// Returns false when the text ran out before the record ended.
bool CsvReader::ReadFields(std::vector<std::string>& fields) {
    const int start = line_;
    fields.assign(1, std::string());
    bool quoted = false;      // inside a quoted field
    bool afterQuote = false;  // a quoted field just closed
    for (; at_ < text_.size(); ++at_) {
        const char ch = text_[at_];
        if (quoted) {
            if (ch == '\n') ++line_;
            if (ch != '"') {
                fields.back() += ch;
            } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                fields.back() += '"';
                ++at_;
            } else {
                quoted = false;
                afterQuote = true;
            }
            continue;
        }
        if (ch == ',') {
            fields.emplace_back();
            afterQuote = false;
        } else if (ch == '\n' || (ch == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n')) {
            at_ += ch == '\r' ? 2 : 1;
            ++line_;
            return true;
        } else if (afterQuote) {
            throw CsvError(start, "引号括起的内容之后还有文字（应为逗号或换行）。");
        } else if (ch == '"') {
            if (!fields.back().empty()) throw CsvError(start, "未加引号的内容中出现了引号。");
            quoted = true;
        } else {
            fields.back() += ch;
        }
    }
    return false;
}

}  // namespace record
