// The record of a debate on a format: each stage's kind in a last column, pages up to thirty, any side's name;
// and the summary's columns of a two-sided stage.
#include <gtest/gtest.h>

#include "record/Csv.h"
#include "record/RecordCsv.h"
#include "record/Summary.h"
#include "support/SummaryEvents.h"

namespace {

using platform::DebateEventKind;
using platform::StageKind;
using testsupport::MakeEvent;

std::vector<platform::DebateEvent> Duibian(StageKind kind, const std::string& first, const std::string& second) {
    std::vector<platform::DebateEvent> events = {
        MakeEvent(DebateEventKind::PageEntered, 25, "二辩对辩", 0, 0, 19, 0, 0),
        MakeEvent(DebateEventKind::Started, 25, "二辩对辩", 1, 0, 19, 0, 90),
        MakeEvent(DebateEventKind::SideSwitched, 25, "二辩对辩", 2, 30'000, 19, 0, 90),
        MakeEvent(DebateEventKind::SideSwitched, 25, "二辩对辩", 1, 50'000, 19, 0, 90),
        MakeEvent(DebateEventKind::PageLeft, 25, "二辩对辩", 0, 60'000, 19, 1, 0)};
    for (auto& event : events) {
        event.stage = kind;
        if (event.countdown != 0) event.side = event.countdown == 1 ? first : second;
    }
    return events;
}

TEST(FormatRecord, NamesEachStagesKindAndReadsBackAsWritten) {
    const auto events = Duibian(StageKind::Alternating, "正二", "=反二");
    std::string file = record::RecordFileHeader(true);
    for (const auto& event : events) file += record::EncodeEvent(event, 0);
    EXPECT_TRUE(file.starts_with("\xEF\xBB\xBF时间,毫秒,事件,环节,名称,倒计时,持方,剩余秒数,总秒数,秒数,类型\r\n"));
    EXPECT_NE(file.find(",25,二辩对辩,2,'=反二,0,90,0,交替\r\n"), std::string::npos);  // no formula for a spreadsheet
    EXPECT_EQ(record::ParseRecord(file).events, events);
    // A kind the program never writes is refused, naming its line.
    std::string wrong = file;
    wrong.replace(wrong.rfind("交替"), std::string("交替").size(), "辩论");
    try {
        record::ParseRecord(wrong);
        FAIL() << "read a kind that is none";
    } catch (const record::CsvError& error) {
        EXPECT_EQ(error.line(), 6);
    }
}

// Before, the columns went by the side's name being "反方" exactly: 反二's time landed in 正方's column over
// 正二's, and a free debate where only 正方 spoke showed 正方 with nothing.
TEST(FormatRecord, SummaryColumnsFollowTheSidesNames) {
    struct Row { StageKind kind; std::string first, second, columns; };
    for (const Row& row : {Row{StageKind::Alternating, "正二", "反二", "正二 40 2 / 反二 20 1"},
                           Row{StageKind::Alternating, "反二", "正二", "正二 20 1 / 反二 40 2"},
                           Row{StageKind::Alternating, "甲", "乙", "甲 40 2 / 乙 20 1"}}) {
        const record::StageRun run = record::Summarise(Duibian(row.kind, row.first, row.second)).runs.at(0);
        EXPECT_EQ(run.sides[0].side + " " + std::to_string(run.sides[0].used) + " " + std::to_string(run.sides[0].turns) +
                      " / " + run.sides[1].side + " " + std::to_string(run.sides[1].used) + " " +
                      std::to_string(run.sides[1].turns),
                  row.columns);
    }
    auto affirmativeOnly = testsupport::OddCaptionsDebate();
    affirmativeOnly.erase(affirmativeOnly.end() - 2);  // 反方 never takes the floor
    const record::StageRun freeDebate = record::Summarise(affirmativeOnly).runs.back();
    EXPECT_EQ(freeDebate.sides[0].side + std::to_string(freeDebate.sides[0].used), "正方25");
}

}  // namespace
