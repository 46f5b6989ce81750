// The summary of a whole debate scripted as the window tells it.
#include <gtest/gtest.h>

#include "record/RecordCsv.h"
#include "record/Summary.h"
#include "record/SummaryCommand.h"
#include "record/SummaryText.h"
#include "support/Codec.h"

namespace {

using platform::DebateEvent;
using K = platform::DebateEventKind;

// Events as the window sends them, with a steady clock moved by hand.
struct Script {
    // Enters `page`, whose countdowns have these sides and allowances.
    Script& Enter(int page, std::string caption, std::string side1, int allowance1, std::string side2 = "",
                  int allowance2 = 0) {
        page_ = page, caption_ = std::move(caption);
        sides_ = {std::move(side1), std::move(side2)}, allowances_ = {allowance1, allowance2};
        return Add(K::PageEntered, 0);
    }
    Script& After(double seconds) { return ms_ += static_cast<std::int64_t>(seconds * 1000), *this; }
    Script& Add(K kind, int countdown, int seconds = 0) {
        DebateEvent& event = events.emplace_back();
        event.kind = kind;
        event.wall = {2026, 12, 7, 14, static_cast<int>(ms_ / 60'000 % 60), static_cast<int>(ms_ / 1000 % 60)};
        event.steadyMs = 5'000'000 + ms_;
        event.page = page_, event.caption = caption_, event.countdown = countdown, event.seconds = seconds;
        if (countdown) event.side = sides_[countdown - 1], event.allowance = allowances_[countdown - 1];
        return *this;
    }
    std::vector<DebateEvent> events;
    std::int64_t ms_ = 0;
    int page_ = 0;
    std::string caption_;
    std::array<std::string, 2> sides_;
    std::array<int, 2> allowances_{};
};

std::vector<DebateEvent> WholeDebate() {
    Script s;
    // A speech paused once for 10 s, its bell one second after 00:00, then 7.4 s over.
    s.Enter(1, "正方一辩发言", "正方", 180).After(1).Add(K::Started, 1).After(60).Add(K::Paused, 1).After(10)
        .Add(K::Resumed, 1).After(90).Add(K::ThirtySeconds, 1).After(31).Add(K::TimeUp, 1).After(7.4)
        .Add(K::OvertimeEnded, 1, 7).Add(K::PageLeft, 0);
    // Run three times: timed, reset after 20 s, then timed and stopped with a pause never resumed.
    s.Enter(2, "反方一辩发言", "反方", 180).After(2).Add(K::Started, 1).After(150.2).Add(K::PageLeft, 0);
    s.Enter(2, "反方一辩发言", "反方", 180).Add(K::Started, 1).After(20).Add(K::Reset, 0);
    s.Enter(2, "反方一辩发言", "反方", 180).After(1).Add(K::Started, 1).After(175).Add(K::Paused, 1).After(30)
        .Add(K::PageLeft, 0);
    // Entered, never timed: no row.
    s.Enter(3, "正二选择反二、三", "正方", 90, "反方", 20).After(3).Add(K::PageLeft, 0);
    // Questioning: answers of 8 s, 17 s (a 5 s pause of both within), and one run out at 20.
    s.Enter(3, "正二选择反二、三", "正方", 90, "反方", 20).Add(K::Started, 1).After(10).Add(K::AnswerStarted, 2)
        .After(8.3).Add(K::AnswerHandedBack, 2, 8).After(11.7).Add(K::AnswerStarted, 2).After(5)
        .Add(K::Paused, 1).Add(K::Paused, 2).After(5).Add(K::Resumed, 1).Add(K::Resumed, 2).After(12)
        .Add(K::AnswerHandedBack, 2, 17).After(8).Add(K::AnswerStarted, 2).After(21).Add(K::TimeUp, 2)
        .Add(K::AnswerHandedBack, 2, 20).After(15).Add(K::TimeUp, 1).After(2.9).Add(K::OvertimeEnded, 1, 2)
        .Add(K::PageLeft, 0);
    // Free debate: 正方 30 s, 反方 20 s, 正方 10 s + pause 4 s + 16 s, 反方 20 s to the end of the record.
    s.Enter(9, "自由辩论", "正方", 240, "反方", 240).Add(K::Started, 1).After(30).Add(K::SideSwitched, 2)
        .After(20).Add(K::SideSwitched, 1).After(10).Add(K::Paused, 1).After(4).Add(K::Resumed, 1).After(16)
        .Add(K::SideSwitched, 2).After(20).Add(K::Paused, 2);
    return s.events;
}

TEST(Summary, OfAWholeDebate) {
    const record::SummaryTable table = record::Tabulate(record::Summarise(WholeDebate()));
    using Row = std::vector<std::string>;
    EXPECT_EQ(table.lines, (std::vector<Row>{{"开始", "2026-12-07 14:00:00"}, {"结束", "2026-12-07 14:12:59"}}));
    EXPECT_EQ(table.header, (Row{"环节", "持方", "时限（秒）", "用时（秒）", "超时（秒）", "暂停次数", "暂停共计（秒）",
                                 "回答次数", "最长回答（秒）", "正方用时（秒）", "正方轮次", "反方用时（秒）", "反方轮次"}));
    const std::vector<Row> expected = {
        // 181 s ran until the bell: capped at the allowance, the rest is overtime.
        {"正方一辩发言", "正方", "180", "180", "7", "1", "10", "", "", "", "", "", ""},
        {"反方一辩发言（第1次）", "反方", "180", "150", "0", "0", "0", "", "", "", "", "", ""},
        {"反方一辩发言（第2次）", "反方", "180", "20", "0", "0", "0", "", "", "", "", "", ""},
        // The last pause is the stage's end, not a pause.
        {"反方一辩发言（第3次）", "反方", "180", "175", "0", "0", "0", "", "", "", "", "", ""},
        {"正二选择反二、三", "正方", "90", "90", "2", "1", "5", "3", "20", "", "", "", ""},
        {"自由辩论", "正方/反方", "480", "96", "0", "1", "4", "", "", "56", "2", "40", "2"},
    };
    EXPECT_EQ(table.rows, expected);
    // The cell a window shows in red: the overtime's, where there was any.
    EXPECT_EQ(table.header.at(table.overtimeColumn), "超时（秒）");
    EXPECT_EQ(table.overtime, (std::vector<bool>{true, false, false, false, true, false}));
}

// Suggested by both windows' save dialogs; Windows refuses ":" in a file name.
TEST(Summary, SuggestedFileNameIsStampedWithoutColons) {
    EXPECT_EQ(record::SuggestedSummaryName({2026, 3, 7, 9, 5, 1}), "辩论小结 2026-03-07 09-05-01.csv");
}

TEST(Summary, TextFormsKeepEachRowOnOneLineAndSpreadsheetsFromFormulas) {
    Script s;
    s.Enter(1, "=第一\t轮\r\n发言", "正方", 180).Add(K::Started, 1).After(61).Add(K::PageLeft, 0);
    const record::Summary summary = record::Summarise(s.events);
    EXPECT_EQ(record::AsTabSeparated(summary),
              "开始\t2026-12-07 14:00:00\n结束\t2026-12-07 14:01:01\n"
              "环节\t持方\t时限（秒）\t用时（秒）\t超时（秒）\t暂停次数\t暂停共计（秒）\t回答次数\t最长回答（秒）\t"
              "正方用时（秒）\t正方轮次\t反方用时（秒）\t反方轮次\n"
              "'=第一 轮  发言\t正方\t180\t61\t0\t0\t0\t\t\t\t\t\t\n");
    const std::string csv = record::AsCsv(summary);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF开始,2026-12-07 14:00:00\r\n"));
    EXPECT_NE(csv.find("\"'=第一\t轮\r\n发言\",正方,180,61,0,0,0,,,,,,\r\n"), std::string::npos) << csv;
    // The terminal's table lines its columns up, a Chinese character two wide.
    const std::string text = record::AsText(summary);
    const std::size_t header = text.find("环节");
    const std::size_t row = text.find("=第一");
    ASSERT_NE(row, std::string::npos);
    EXPECT_EQ(record::DisplayWidth(text.substr(header, text.find("持方", header) - header)),
              record::DisplayWidth(text.substr(row, text.find("正方", row) - row)));
}

// Before, a record a spreadsheet on a Chinese Windows saved again (GBK, no byte-order mark, times without
// seconds and with "/") was refused. It reads as the file the program wrote, the seconds of the two times aside.
TEST(Summary, OfARecordASpreadsheetSavedAgainInGbk) {
    const std::vector<DebateEvent> events = WholeDebate();
    std::string file = record::RecordFileHeader().substr(3);
    for (const DebateEvent& event : events) {
        std::string line = record::EncodeEvent(event, events.front().steadyMs);
        line.replace(0, 19, "2026/12/7 14:" + std::to_string(event.wall.minute));
        file += line;
    }
    const record::RecordSummary resaved = record::SummariseRecord(*testsupport::GbkCodec().Utf8ToGbk(file), testsupport::GbkCodec());
    const record::Summary original = record::Summarise(events);
    EXPECT_EQ(record::Tabulate(resaved.summary).rows, record::Tabulate(original).rows);
    EXPECT_EQ(resaved.summary.end->second, 0);
}

// Offsets and allowances at the reader's limits make no sum overflow (before, the release build printed
// -1141913389 s); one past them is refused, naming the line. A free debate in which one side never spoke
// keeps the other's time (before, the silent side's empty column was written over it).
TEST(Summary, OfOffsetsAtTheLimitStaysInRange) {
    Script s;
    s.Enter(9, "自由辩论", "正方", 1'000'000, "反方", 1'000'000).Add(K::Started, 1);
    s.ms_ = record::kMostOffsetMs - 5'000'000;
    s.Add(K::TimeUp, 1).Add(K::PageLeft, 0);
    const record::StageRun run = record::Summarise(s.events).runs.at(0);
    EXPECT_EQ(std::tuple(run.used, run.overtime, run.sides[0].used), std::tuple(1'000'000, 0, 1'000'000));
    std::string file = record::RecordFileHeader();
    for (const DebateEvent& event : s.events) file += record::EncodeEvent(event, 0);
    EXPECT_NO_THROW(record::ParseRecord(file));
    file += "2026-12-07 14:00:00,10000000001,开始,1,x,1,正方,1,1,0\r\n";
    EXPECT_THROW(record::ParseRecord(file), record::CsvError);
}

TEST(Summary, OfNoEventsHasNoRows) {
    const record::Summary summary = record::Summarise({});
    EXPECT_TRUE(summary.runs.empty());
    EXPECT_EQ(record::AsText(summary), "开始：—\n结束：—\n没有计时过的环节。\n");
}

}  // namespace
