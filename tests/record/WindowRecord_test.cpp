// A debate run on the window's real logic, summed up: what the window tells the record and what the
// summary makes of it agree, row for row.
#include <variant>

#include "record/Summary.h"
#include "record/SummaryText.h"
#include "window/WindowFixture.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class WindowRecord : public testsupport::WindowTest {
protected:
    void SetUp() override {
        Load({{"Stage3Timer1", "90"}, {"Stage3Timer2", "20"}, {"Stage9Timer1", "60"}, {"Stage9Timer2", "60"}});
    }
    // Whole seconds pass; each ticks the countdowns that run.
    void Seconds(int count) {
        for (int n = 0; n < count; ++n) clock.steady += 1000, tmrTimer1.Tick(), tmrTimer2.Tick();
    }
    // Clicks each caption in turn; a number lets that many seconds pass, a negative one idles that many ms.
    void Do(std::initializer_list<std::variant<const char*, int>> steps) {
        for (const auto& step : steps) {
            if (const auto* caption = std::get_if<const char*>(&step)) Click(*caption);
            else if (std::get<int>(step) < 0) clock.steady -= std::get<int>(step);
            else Seconds(std::get<int>(step));
        }
    }
    void Enter(std::int16_t page) { form->Guarded(EventSource::Click, [&] { form->ShowPage(page); }); }
    Rows TableRows() { return record::Tabulate(record::Summarise(recorder.events)).rows; }
};

TEST_F(WindowRecord, QuestioningAnswersAndAResetRun) {
    Enter(3);
    // A run of 10 s reset; answers of 8 s and one that runs out at 20 and hands the floor back by itself.
    Do({"开始", 10, "重置", "开始", 5, "反方", 8, "正方", 2, "反方", 25, "返回"});
    EXPECT_EQ(TableRows(), (Rows{{"正二选择反二、三（第1次）", "正方", "90", "10", "0", "0", "0", "0", "0", "", "", "", ""},
                                 {"正二选择反二、三（第2次）", "正方", "90", "40", "0", "0", "0", "2", "20", "", "", "", ""}}));
}

// Runs of a fraction of a second: what the summary says was used is what the countdowns show was used, to
// the second (the countdown counts whole seconds run, the summary rounds); before, they parted by seconds.
TEST_F(WindowRecord, PiecesOfSecondsAreUsedAsTheCountdownsShowWithinASecond) {
    tmrTimer1.steady = tmrTimer2.steady = &clock.steady;
    const auto pass = [&](std::int64_t ms) { testsupport::AdvanceTimers(clock, ms, {&tmrTimer1, &tmrTimer2}); };
    Enter(3);
    Click("开始");
    for (int answer = 0; answer < 6; ++answer) {
        Click("反方");
        pass(1700);  // an answer, while the questioner's time runs on
        Click("正方");
        Click("暂停");
        pass(900);
        Click("继续");
        pass(600);
    }
    Click("暂停");
    const record::Summary summary = record::Summarise(recorder.events);
    ASSERT_EQ(summary.runs.size(), 1u);
    // 13.8 s run: the countdown shows 13 used (it ticks on whole seconds), the summary rounds to 14.
    EXPECT_EQ(form->intTimer1(), 90 - 13);
    EXPECT_EQ(summary.runs[0].used, 14);
    EXPECT_EQ(summary.runs[0].answers, 6);
}

}  // namespace
