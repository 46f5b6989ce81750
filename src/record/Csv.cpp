#include "record/Csv.h"

namespace record {
namespace {

bool NeedsQuotes(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool LooksLikeFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@'\t\r").find(text.front()) != std::string_view::npos;
}

// Reads one record from `at`, which it moves past the record's line break.
// Returns false when the text ran out before the record ended.
class RecordReader final {
public:
    explicit RecordReader(std::string_view text) : text_(text) {}

    bool Read(std::size_t& at, int& line, std::vector<std::string>& fields) {
        const int start = line;
        fields.assign(1, std::string());
        bool quoted = false;     // inside a quoted field
        bool afterQuote = false;  // a quoted field just closed
        for (; at < text_.size(); ++at) {
            const char ch = text_[at];
            if (quoted) {
                if (ch == '\n') ++line;
                if (ch != '"') {
                    fields.back() += ch;
                } else if (at + 1 < text_.size() && text_[at + 1] == '"') {
                    fields.back() += '"';
                    ++at;
                } else {
                    quoted = false;
                    afterQuote = true;
                }
                continue;
            }
            if (ch == ',') {
                fields.emplace_back();
                afterQuote = false;
            } else if (ch == '\n' || (ch == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n')) {
                at += ch == '\r' ? 2 : 1;
                ++line;
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

private:
    std::string_view text_;
};

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

CsvRows ParseCsv(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    CsvRows result;
    RecordReader reader(text);
    std::size_t at = 0;
    int line = 1;
    while (at < text.size()) {
        const std::size_t start = at;
        const int startLine = line;
        CsvRow row{startLine, {}};
        if (!reader.Read(at, line, row.fields)) {
            result.unfinished = std::string(text.substr(start));
            result.unfinishedLine = startLine;
            break;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

}  // namespace record
