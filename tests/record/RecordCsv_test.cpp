// The record file: any caption reads back as written, a non-record is refused naming its line, a cut record is left out.
#include <gtest/gtest.h>

#include "record/Csv.h"
#include "record/RecordCsv.h"

namespace {

using platform::DebateEvent;
using platform::DebateEventKind;

DebateEvent Event(DebateEventKind kind, std::int64_t ms, std::string caption, int countdown = 1) {
    DebateEvent event;
    event.kind = kind;
    event.wall = {2026, 12, 7, 14, 3, 9};
    event.steadyMs = ms;
    event.page = 3;
    event.caption = std::move(caption);
    event.countdown = countdown;
    event.side = countdown ? "正方" : "";
    event.remaining = 85;
    event.allowance = 90;
    event.seconds = 4;
    return event;
}

std::string FileOf(const std::vector<DebateEvent>& events) {
    std::string file = record::RecordFileHeader();
    for (const DebateEvent& event : events) file += record::EncodeEvent(event, events.front().steadyMs);
    return file;
}

class CaptionRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(CaptionRoundTrip, ReadsBackExactly) {
    // Steady times far from zero: the file keeps offsets from the first event.
    const std::vector<DebateEvent> events = {Event(DebateEventKind::PageEntered, 900'000, GetParam(), 0),
                                             Event(DebateEventKind::Started, 901'234, GetParam())};
    const std::string file = FileOf(events);
    ASSERT_TRUE(file.starts_with("\xEF\xBB\xBF时间,毫秒,事件,环节,名称,倒计时,持方,剩余秒数,总秒数,秒数\r\n"));
    const record::ParsedRecord parsed = record::ParseRecord(file);
    ASSERT_EQ(parsed.events.size(), 2u);
    EXPECT_FALSE(parsed.unfinishedLine);
    EXPECT_EQ(parsed.events[0].caption, GetParam());
    EXPECT_EQ(parsed.events[1].steadyMs, 1234);
    DebateEvent expected = events[1];
    expected.steadyMs = 1234;
    EXPECT_EQ(parsed.events[1], expected);
}

INSTANTIATE_TEST_SUITE_P(Captions, CaptionRoundTrip,
                         testing::Values("正二选择反二、三", "Round 1, part 2", "He said \"time\"", "\"", "两行\r\n标题",
                                         "LF only\nline", "lone CR\r", ",,,", "",
                                         // Spreadsheet formulas: kept as text, read back as written.
                                         "=HYPERLINK(\"x\")", "+1", "-正方", "@SUM(A1)", "'quoted", "''", "'"));

TEST(RecordFile, WritesLocalTimeOffsetAndChineseKindWords) {
    const std::vector<DebateEvent> events = {Event(DebateEventKind::Started, 5000, "质询"),
                                             Event(DebateEventKind::OvertimeEnded, 17'250, "质询")};
    EXPECT_EQ(record::EncodeEvent(events[1], 5000), "2026-12-07 14:03:09,12250,超时结束,3,质询,1,正方,85,90,4\r\n");
    EXPECT_EQ(record::EncodeEvent(Event(DebateEventKind::Started, 0, "=1+1"), 0),
              "2026-12-07 14:03:09,0,开始,3,'=1+1,1,正方,85,90,4\r\n");
}

TEST(RecordFile, ReadsAFileWithoutByteOrderMarkOrWithLfLineEnds) {
    const std::string lf = "时间,毫秒,事件,环节,名称,倒计时,持方,剩余秒数,总秒数,秒数\n"
                           "2026-12-07 14:03:09,0,暂停,1,\"a\nb\",1,正方,85,90,0\n";
    const auto parsed = record::ParseRecord(lf);
    ASSERT_EQ(parsed.events.size(), 1u);
    EXPECT_EQ(parsed.events[0].kind, DebateEventKind::Paused);
    EXPECT_EQ(parsed.events[0].caption, "a\nb");
}

struct Malformed {
    const char* name;
    std::string body;  // after the header line (line 1)
    int line;
    const char* says;
    friend void PrintTo(const Malformed& fault, std::ostream* out) { *out << fault.name; }
};

class MalformedFile : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedFile, IsRefusedNamingTheLine) {
    const std::string header = "\xEF\xBB\xBF时间,毫秒,事件,环节,名称,倒计时,持方,剩余秒数,总秒数,秒数\r\n";
    const std::string good = "2026-12-07 14:03:09,0,开始,1,x,1,正方,180,180,0\r\n";
    try {
        record::ParseRecord(GetParam().line == 1 ? GetParam().body : header + good + GetParam().body);
        FAIL() << "accepted";
    } catch (const record::CsvError& error) {
        EXPECT_EQ(error.line(), GetParam().line);
        EXPECT_NE(std::string(error.what()).find(GetParam().says), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MalformedFile,
    testing::Values(Malformed{"Empty", "", 1, "空"},
                    Malformed{"NotARecord", "name,value\r\nx,1\r\n", 1, "各栏名称"},
                    Malformed{"TooFewFields", "2026-12-07 14:03:09,0,开始,1,x\r\n", 3, "应有 10 栏，实有 5 栏"},
                    Malformed{"UnknownKind", "2026-12-07 14:03:09,5,跳舞,1,x,1,正方,180,180,0\r\n", 3, "跳舞"},
                    Malformed{"PageOutOfRange", "2026-12-07 14:03:09,5,开始,12,x,1,正方,180,180,0\r\n", 3, "环节"},
                    Malformed{"NotANumber", "2026-12-07 14:03:09,5,开始,1,x,1,正方,abc,180,0\r\n", 3, "abc"},
                    Malformed{"BadTime", "2026-13-07 14:03:09,5,开始,1,x,1,正方,180,180,0\r\n", 3, "时间"},
                    Malformed{"OffsetGoesBack", "2026-12-07 14:03:09,5,开始,1,x,1,正方,180,180,0\r\n"
                                                "2026-12-07 14:03:09,4,暂停,1,x,1,正方,180,180,0\r\n", 4, "小于"},
                    // The record starts on line 3 and its caption spans two lines: the next one is line 5.
                    Malformed{"LineCountsQuotedBreaks", "2026-12-07 14:03:09,5,开始,1,\"a\r\nb\",1,正方,1,1,0\r\n"
                                                        "bad\r\n", 5, "应有 10 栏"},
                    Malformed{"StrayQuote", "2026-12-07 14:03:09,5,开始,1,a\"b,1,正方,1,1,0\r\n", 3, "引号"},
                    Malformed{"TextAfterQuote", "2026-12-07 14:03:09,5,开始,1,\"a\"b,1,正方,1,1,0\r\n", 3, "引号"}),
    [](const testing::TestParamInfo<Malformed>& info) { return info.param.name; });

// A kill or a power cut can stop the last write anywhere in its record. Cut at
// every byte of the last record, the file reads as the records before it, with
// the cut one named, and never as a whole record with a shortened value.
TEST(RecordFile, ARecordCutAnywhereIsLeftOutAndNamed) {
    const std::vector<DebateEvent> events = {Event(DebateEventKind::Started, 0, "一"),
                                             Event(DebateEventKind::Paused, 61'000, "两行,\"引号\"\r\n标题")};
    const std::string whole = FileOf(events);
    const std::size_t lastStart = whole.size() - record::EncodeEvent(events[1], 0).size();
    for (std::size_t cut = lastStart + 1; cut < whole.size(); ++cut) {
        const auto parsed = record::ParseRecord(whole.substr(0, cut));
        ASSERT_EQ(parsed.events.size(), 1u) << "cut at " << cut;
        EXPECT_EQ(parsed.unfinishedLine, 3) << "cut at " << cut;
    }
    EXPECT_EQ(record::ParseRecord(whole).events.size(), 2u);
}

}  // namespace
