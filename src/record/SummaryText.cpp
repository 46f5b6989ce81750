#include "record/SummaryText.h"

#include <algorithm>

#include "record/Csv.h"
#include "record/RecordCsv.h"

namespace record {
namespace {

std::string Mark(const StageRun& run) {
    return run.runOfStage == 0 ? run.caption : run.caption + "（第" + std::to_string(run.runOfStage) + "次）";
}

std::string Number(int value) { return std::to_string(value); }

std::vector<std::string> Row(const StageRun& run) {
    const bool questioning = run.group == PageGroup::Questioning;
    const bool free = run.group == PageGroup::FreeDebate;
    const auto only = [](bool applies, int value) { return applies ? Number(value) : std::string(); };
    return {Mark(run),
            run.side,
            Number(run.allowance),
            Number(run.used),
            Number(run.overtime),
            Number(run.pauses),
            Number(run.pausedSeconds),
            only(questioning, run.answers),
            only(questioning, run.longestAnswer),
            only(free, run.sides[0].used),
            only(free, run.sides[0].turns),
            only(free, run.sides[1].used),
            only(free, run.sides[1].turns)};
}

// A cell on one line: tabs and line breaks would split the row.
std::string OneLine(std::string text) {
    for (char& ch : text) {
        if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
    }
    return text;
}

// The code point starting at text[at], and its length in bytes.
std::pair<char32_t, std::size_t> CodePoint(const std::string& text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    if (byte < 0x80 || at + length > text.size()) return {byte, 1};
    char32_t point = byte & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return {point, length};
}

bool Wide(char32_t point) {
    return (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
           (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
           (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
           (point >= 0xFFE0 && point <= 0xFFE6) || (point >= 0x20000 && point <= 0x3FFFD);
}

}  // namespace

int DisplayWidth(const std::string& text) {
    int width = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto [point, length] = CodePoint(text, at);
        width += Wide(point) ? 2 : 1;
        at += length;
    }
    return width;
}

SummaryTable Tabulate(const Summary& summary) {
    SummaryTable table;
    const auto when = [](const std::optional<platform::LocalTime>& time) {
        return time ? FormatDateTime(*time) : std::string("—");
    };
    table.lines = {{"开始", when(summary.start)}, {"结束", when(summary.end)}};
    table.header = {"环节",     "持方",     "时限（秒）", "用时（秒）", "超时（秒）", "暂停次数", "暂停共计（秒）",
                    "回答次数", "最长回答（秒）", "正方用时（秒）", "正方轮次", "反方用时（秒）", "反方轮次"};
    table.overtimeColumn = 4;
    for (const StageRun& run : summary.runs) {
        table.rows.push_back(Row(run));
        table.overtime.push_back(run.overtime > 0);
    }
    return table;
}

std::string SuggestedSummaryName(const platform::LocalTime& now) {
    const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return "辩论小结 " + std::to_string(now.year) + "-" + two(now.month) + "-" + two(now.day) + " " + two(now.hour) +
           "-" + two(now.minute) + "-" + two(now.second) + ".csv";
}

std::string AsText(const Summary& summary) {
    const SummaryTable table = Tabulate(summary);
    std::string text;
    for (const auto& line : table.lines) text += line[0] + "：" + line[1] + "\n";
    if (table.rows.empty()) return text + "没有计时过的环节。\n";
    std::vector<std::vector<std::string>> cells{table.header};
    for (const auto& row : table.rows) {
        cells.emplace_back();
        for (const auto& cell : row) cells.back().push_back(OneLine(cell));
    }
    std::vector<int> widths(table.header.size(), 0);
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    for (const auto& row : cells) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(static_cast<std::size_t>(widths[c] - DisplayWidth(row[c]) + 2), ' ');
        }
        // No padding left at the end of a line.
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

std::string AsTabSeparated(const Summary& summary) {
    const SummaryTable table = Tabulate(summary);
    const auto join = [](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) line += (c > 0 ? "\t" : "") + CellText(OneLine(cells[c]));
        return line + "\n";
    };
    std::string text;
    for (const auto& line : table.lines) text += join(line);
    text += join(table.header);
    for (const auto& row : table.rows) text += join(row);
    return text;
}

std::string AsCsv(const Summary& summary) {
    const SummaryTable table = Tabulate(summary);
    std::string text(kByteOrderMark);
    const auto add = [&text](const std::vector<std::string>& cells) {
        std::vector<std::string> safe;
        for (const auto& cell : cells) safe.push_back(CellText(cell));
        text += CsvRecord(safe);
    };
    for (const auto& line : table.lines) add(line);
    add(table.header);
    for (const auto& row : table.rows) add(row);
    return text;
}

}  // namespace record
