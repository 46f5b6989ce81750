#include "record/RecordCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "record/Csv.h"

namespace record {
namespace {

using platform::DebateEvent;
using platform::DebateEventKind;

// Chinese words, as the time-keeper and the adjudicators speak of the debate.
constexpr std::array<std::pair<DebateEventKind, std::string_view>, 12> kKindWords = {{
    {DebateEventKind::PageEntered, "进入环节"},
    {DebateEventKind::PageLeft, "离开环节"},
    {DebateEventKind::Started, "开始"},
    {DebateEventKind::Paused, "暂停"},
    {DebateEventKind::Resumed, "继续"},
    {DebateEventKind::AnswerStarted, "开始回答"},
    {DebateEventKind::AnswerHandedBack, "交回发言权"},
    {DebateEventKind::SideSwitched, "换方发言"},
    {DebateEventKind::ThirtySeconds, "剩余30秒"},
    {DebateEventKind::TimeUp, "时间到"},
    {DebateEventKind::OvertimeEnded, "超时结束"},
    {DebateEventKind::Reset, "重置"},
}};

constexpr std::array<std::string_view, 10> kColumns = {
    "时间", "毫秒", "事件", "环节", "名称", "倒计时", "持方", "剩余秒数", "总秒数", "秒数"};
enum Column { kTime, kOffset, kKind, kPage, kCaption, kCountdown, kSide, kRemaining, kAllowance, kSeconds };
// A debate on a format of its own adds the kind of each stage as a last column.
constexpr std::string_view kStageColumn = "类型";
constexpr std::array<std::pair<platform::StageKind, std::string_view>, 3> kStageWords = {{
    {platform::StageKind::Speech, "发言"},
    {platform::StageKind::Questioning, "质询"},
    {platform::StageKind::Alternating, "交替"},
}};
// The most pages a record names: a format's thirty stages.
constexpr int kMostPages = 30;

std::string Quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

std::string ColumnFault(Column column, std::string_view value, std::string_view expected) {
    return Quoted(kColumns[column]) + "一栏的" + Quoted(value) + "不是" + std::string(expected) + "。";
}

template <class Number>
Number ParseNumber(const CsvRow& row, Column column, Number low, Number high, std::string_view expected) {
    const std::string& text = row.fields[column];
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw CsvError(row.line, ColumnFault(column, text, expected));
    }
    return value;
}

DebateEventKind ParseKind(const CsvRow& row) {
    for (const auto& [kind, word] : kKindWords) {
        if (row.fields[kKind] == word) return kind;
    }
    throw CsvError(row.line, ColumnFault(kKind, row.fields[kKind], "已知的事件"));
}

// As the program writes it, "2026-12-07 14:03:09"; as a spreadsheet may save
// it again, "2026/12/7 14:03" (the seconds then read as 0).
platform::LocalTime ParseDateTime(const CsvRow& row) {
    const std::string& text = row.fields[kTime];
    platform::LocalTime time;
    char first = 0, second = 0;
    int used = 0;
    const int got = std::sscanf(text.c_str(), "%4d%c%2d%c%2d %2d:%2d%n", &time.year, &first, &time.month, &second,
                                &time.day, &time.hour, &time.minute, &used);
    int tail = 0;
    if (got == 7 && text[static_cast<std::size_t>(used)] == ':') {
        const char* rest = text.c_str() + used + 1;
        if (std::sscanf(rest, "%2d%n", &time.second, &tail) != 1) tail = -1;
        used += 1 + tail;
    }
    const bool separators = (first == '-' && second == '-') || (first == '/' && second == '/');
    const bool valid = got == 7 && tail >= 0 && separators && static_cast<std::size_t>(used) == text.size() &&
                       text.size() <= 19 && time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 &&
                       time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
                       time.second >= 0 && time.second <= 60;
    if (!valid) throw CsvError(row.line, ColumnFault(kTime, text, "“年-月-日 时:分:秒”形式的时间"));
    return time;
}

platform::StageKind ParseStage(const CsvRow& row) {
    const std::string& text = row.fields[kColumns.size()];
    for (const auto& [stage, word] : kStageWords) {
        if (text == word) return stage;
    }
    throw CsvError(row.line, Quoted(kStageColumn) + "一栏的" + Quoted(text) + "不是“发言”“质询”或“交替”。");
}

DebateEvent ParseEvent(const CsvRow& row, std::size_t columns) {
    if (row.fields.size() != columns) {
        throw CsvError(row.line, "应有 " + std::to_string(columns) + " 栏，实有 " +
                                     std::to_string(row.fields.size()) + " 栏。");
    }
    constexpr int kMaxSeconds = 1'000'000;
    DebateEvent event;
    event.wall = ParseDateTime(row);
    event.steadyMs = ParseNumber<std::int64_t>(row, kOffset, 0, kMostOffsetMs, "0 到 10000000000 之间的整数");
    event.kind = ParseKind(row);
    // The classic stages are eleven; a format's record, which names each stage's kind, may hold thirty.
    if (columns > kColumns.size()) {
        event.page = ParseNumber(row, kPage, 1, kMostPages, "1 到 30 之间的整数");
    } else {
        event.page = ParseNumber(row, kPage, 1, 11, "1 到 11 之间的整数");
    }
    event.caption = TextFromCell(row.fields[kCaption]);
    event.countdown = ParseNumber(row, kCountdown, 0, 2, "0、1 或 2");
    event.side = TextFromCell(row.fields[kSide]);
    event.remaining = ParseNumber(row, kRemaining, -kMaxSeconds, kMaxSeconds, "整数");
    event.allowance = ParseNumber(row, kAllowance, 0, kMaxSeconds, "不小于 0 的整数");
    event.seconds = ParseNumber(row, kSeconds, 0, kMaxSeconds, "不小于 0 的整数");
    if (columns > kColumns.size()) event.stage = ParseStage(row);
    return event;
}

}  // namespace

std::string RecordFileHeader(bool stageKinds) {
    std::vector<std::string> columns(kColumns.begin(), kColumns.end());
    if (stageKinds) columns.emplace_back(kStageColumn);
    return std::string(kByteOrderMark) + CsvRecord(columns);
}

std::string_view KindWord(DebateEventKind kind) {
    for (const auto& [each, word] : kKindWords) {
        if (each == kind) return word;
    }
    return "?";
}

std::string FormatDateTime(const platform::LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

std::string EncodeEvent(const DebateEvent& event, std::int64_t firstSteadyMs) {
    std::vector<std::string> fields = {FormatDateTime(event.wall), std::to_string(event.steadyMs - firstSteadyMs),
                                       std::string(KindWord(event.kind)), std::to_string(event.page),
                                       CellText(event.caption), std::to_string(event.countdown), CellText(event.side),
                                       std::to_string(event.remaining), std::to_string(event.allowance),
                                       std::to_string(event.seconds)};
    for (const auto& [stage, word] : kStageWords) {
        if (stage == event.stage) fields.emplace_back(word);
    }
    return CsvRecord(fields);
}

RecordReader::RecordReader(std::string_view bytes) : csv_(bytes) {
    if (!csv_.Next(row_)) {
        if (csv_.UnfinishedLine() != 0) throw CsvError(1, "文件的第一行（各栏名称）不完整。");
        throw CsvError(1, "文件是空的，不是辩论记录。");
    }
    std::vector<std::string> header(kColumns.begin(), kColumns.end());
    const bool classic = row_.fields == header;
    header.emplace_back(kStageColumn);
    if (!classic && row_.fields != header) {
        throw CsvError(1, "第一行不是辩论记录的各栏名称（应为“时间,毫秒,事件,……”）。");
    }
    columns_ = header.size() - (classic ? 1 : 0);
}

bool RecordReader::Next(DebateEvent& event) {
    if (!csv_.Next(row_)) return false;
    event = ParseEvent(row_, columns_);
    // Spans are differences of offsets: one that went back would make a negative time.
    if (lastOffset_ && event.steadyMs < *lastOffset_) {
        throw CsvError(row_.line, "“毫秒”一栏的 " + std::to_string(event.steadyMs) + " 小于上一条记录的 " +
                                      std::to_string(*lastOffset_) + "。");
    }
    lastOffset_ = event.steadyMs;
    return true;
}

std::optional<int> RecordReader::UnfinishedLine() const {
    if (csv_.UnfinishedLine() == 0) return std::nullopt;
    return csv_.UnfinishedLine();
}

ParsedRecord ParseRecord(std::string_view bytes) {
    RecordReader reader(bytes);
    ParsedRecord parsed;
    for (DebateEvent event; reader.Next(event);) parsed.events.push_back(event);
    parsed.unfinishedLine = reader.UnfinishedLine();
    return parsed;
}

}  // namespace record
