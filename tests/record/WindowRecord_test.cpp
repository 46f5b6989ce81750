// The window's own events, through the fakes, summed up: a debate run on the
// real logic gives the rows the time-keeper timed, so what the window tells
// the record and what the summary makes of it agree.
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "window/WindowFixture.h"

namespace {

class WindowRecord : public testsupport::WindowTest {
protected:
    void SetUp() override {
        Load({{"Stage3Timer1", "90"}, {"Stage3Timer2", "20"}, {"Stage9Timer1", "60"}, {"Stage9Timer2", "60"}});
    }
    // Whole seconds pass; each ticks the countdowns that run.
    void Seconds(int count) {
        for (int n = 0; n < count; ++n) {
            clock.steady += 1000;
            tmrTimer1.Tick();
            tmrTimer2.Tick();
        }
    }
    void Idle(std::int64_t ms) { clock.steady += ms; }
    void Enter(std::int16_t page) { form->Guarded(EventSource::Click, [&] { form->ShowPage(page); }); }
    std::vector<std::vector<std::string>> Rows() {
        return record::Tabulate(record::Summarise(recorder.events)).rows;
    }
};

TEST_F(WindowRecord, ASpeechWithAPauseTimeUpAndOvertime) {
    Enter(1);
    Click("开始");
    Seconds(60);
    Click("暂停");
    Idle(10'000);
    Click("继续");
    Seconds(125);  // 120 left, then 00:00 for a second, then the bell; the rest is overtime
    Idle(2'600);
    Click("返回");
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"正方一辩发言", "正方", "180", "180", "6", "1", "10", "", "", "", "", "", ""}}));
}

TEST_F(WindowRecord, QuestioningAnswersAndAResetRun) {
    Enter(3);
    Click("开始");
    Seconds(10);
    Click("重置");  // a run of 10 s, then the page afresh
    Click("开始");
    Seconds(5);
    Click("反方");
    Seconds(8);
    Click("正方");  // an answer of 8 s
    Seconds(2);
    Click("反方");
    Seconds(25);  // runs out at 20 and the floor goes back by itself, with no overtime
    Click("返回");
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"正二选择反二、三（第1次）", "正方", "90", "10", "0", "0", "0", "0", "0", "", "", "", ""},
                          {"正二选择反二、三（第2次）", "正方", "90", "40", "0", "0", "0", "2", "20", "", "", "", ""}}));
}

TEST_F(WindowRecord, FreeDebateTurns) {
    Enter(9);
    Click("正方");
    Seconds(10);
    Click("反方");
    Seconds(15);
    Click("暂停");
    Idle(4'000);
    Click("继续");
    Seconds(5);
    Click("正方");
    Seconds(3);
    Click("返回");
    EXPECT_EQ(Rows(), (std::vector<std::vector<std::string>>{
                          {"自由辩论", "正方/反方", "120", "33", "0", "1", "4", "", "", "13", "2", "20", "1"}}));
}

}  // namespace
