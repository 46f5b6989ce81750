// What each button does, page by page (hand-over, the chess clock, reset, back), and the keys for them.
#include "WindowFixture.h"

namespace testsupport {

using DispatchTest = WindowTest;

const std::string kAboutPage = "/opt/Tolvanexa/about.html";

// Before, a click on "关于" that opened nothing said nothing. Each click tells: a browser may be there by then.
TEST_F(DispatchTest, AboutThatCannotOpenThePageSaysSoWithItsFullPath) {
    Click("关于");  // no page beside the program
    files.files[kAboutPage] = "<html></html>";
    browser.opens = false;  // no browser, or its launcher failed
    Click("关于");
    Click("关于");
    EXPECT_EQ(browser.opened.size(), 2u);
    ASSERT_EQ(errors.messages.size(), 3u);
    EXPECT_EQ(errors.messages[0], "说明页“" + kAboutPage + "”不存在，无法打开。它应与程序放在同一个文件夹中。");
    EXPECT_EQ(errors.messages[1], "无法打开说明页“" + kAboutPage + "”：没有找到可用的浏览器，或浏览器未能启动。请直接用浏览器打开这个文件。");
    EXPECT_EQ(errors.messages[2], errors.messages[1]);
    browser.opens = true;
    Click("关于");
    EXPECT_EQ(browser.opened.back(), kAboutPage);
    EXPECT_EQ(errors.messages.size(), 3u);
    EXPECT_EQ(cmdCommand.Members().size(), 20u);  // still the home page
}

TEST_F(DispatchTest, QuestioningHandsTheFloorOverAndTheAnswerRunningOutHandsItBack) {
    form->ShowPage(3);
    Click("开始");
    EXPECT_EQ(After("反方") + Button(2).caption, "12正方");
    EXPECT_EQ(After("暂停"), "");
    EXPECT_EQ(After("继续"), "12");
    tmrTimer2.Tick(181);  // three minutes down to zero, then the zero tick
    EXPECT_EQ(sound.played.back().name, "zero.wav");
    EXPECT_EQ(Running() + Button(2).caption, "1反方");
    EXPECT_EQ(form->intTimer2(), 180);  // back to its full duration
}

// Page 9 has two countdowns too, but its countdown 2 running out hands nothing back.
TEST_F(DispatchTest, FreeDebateIsAChessClock) {
    form->Config().Item("Stage9Timer2", "1");
    Click("自由辩论");
    EXPECT_EQ(After("反方"), "2");
    Click("重置");
    EXPECT_EQ(form->intSide(), 1);
    Click("暂停");
    EXPECT_EQ(After("继续"), "2");  // on the side chosen before the reset
    EXPECT_EQ(After("正方"), "1");
    Click("反方");
    tmrTimer2.Tick(2);
    EXPECT_EQ(Running() + Bar(), "正方|反方||暂停||重置||返回");
}

// A key does exactly what a click on its button does, and nothing where the page has none.
struct KeyCase { int page; std::vector<Key> before; Key key; const char* button; };  // button nullptr: none
void PrintTo(const KeyCase& row, std::ostream* out) { *out << "page " << row.page << ", key " << int(row.key); }
class Keys : public DispatchTest, public ::testing::WithParamInterface<KeyCase> {};
TEST_P(Keys, PressTheButtonTheyStandFor) {
    const KeyCase& row = GetParam();
    const auto State = [&] {  // the window ends in the same state either way
        std::string state = std::to_string(form->intPage()) + std::to_string(form->intSide()) + Running() + Bar();
        for (const auto& [index, button] : cmdCommand.Members()) state += button->enabled ? "+" : "-";
        return state;
    };
    const auto prepare = [&] {
        Load();
        form->ShowPage(static_cast<std::int16_t>(row.page));
        for (const Key key : row.before) window.onKey(key);
        return State();
    };
    const std::string before = prepare();
    EXPECT_EQ(window.onKey(row.key), row.button != nullptr);  // a key that pressed nothing goes to the focused control
    const std::string pressed = State();
    EXPECT_EQ(pressed != before, row.button != nullptr);
    prepare();
    if (row.button) Click(row.button);
    EXPECT_EQ(pressed, State());
}
const KeyCase kKeys[] = {
    {1, {}, Key::Space, "开始"}, {1, {Key::Space}, Key::Space, "暂停"}, {1, {Key::Space, Key::Space}, Key::R, "重置"},
    {1, {}, Key::Backspace, "返回"}, {1, {Key::Space}, Key::Enter, nullptr},
    {3, {Key::Space}, Key::Enter, "反方"}, {3, {Key::Space, Key::Enter}, Key::Enter, "正方"},
    {4, {Key::Space}, Key::Enter, "正方"}, {3, {Key::Space}, Key::Left, nullptr},
    {9, {}, Key::Right, "反方"}, {9, {Key::Right}, Key::Left, "正方"}, {9, {}, Key::Space, "暂停"},
    {0, {}, Key::Space, nullptr}, {0, {}, Key::Enter, nullptr}, {0, {}, Key::Left, nullptr},
    {0, {}, Key::Right, nullptr}, {0, {}, Key::R, nullptr}, {0, {}, Key::Backspace, nullptr}};
INSTANTIATE_TEST_SUITE_P(Table, Keys, ::testing::ValuesIn(kKeys));

// While a countdown runs, R and Backspace act only on a second press of the same key within two seconds;
// the first shows a hint and is taken from the focused control, and the key that next acts takes the hint
// away (an empty hint). Stopped, they act at once.
struct Press { std::int64_t after; Key key; };  // milliseconds after the press before
struct SecondPressCase { const char* name; int page; std::vector<Key> before; std::vector<Press> presses;
                         std::int16_t page_after; const char* running_after; std::vector<std::string> hints; };
void PrintTo(const SecondPressCase& row, std::ostream* out) { *out << row.name; }
class SecondPress : public DispatchTest, public ::testing::WithParamInterface<SecondPressCase> {};
TEST_P(SecondPress, GuardsResetAndBackWhileACountdownRuns) {
    const SecondPressCase& row = GetParam();
    form->ShowPage(static_cast<std::int16_t>(row.page));
    for (const Key key : row.before) window.onKey(key);
    tmrTimer1.Tick(5), tmrTimer2.Tick(tmrTimer2.enabled ? 5 : 0);
    clock.steady = 1'000'000;  // any moment: the steady count starts nowhere in particular
    for (const Press& press : row.presses) {
        clock.steady += press.after;
        EXPECT_TRUE(window.onKey(press.key));  // a hint too is the key's whole effect
    }
    EXPECT_EQ(std::to_string(form->intPage()) + Running(), std::to_string(row.page_after) + row.running_after);
    EXPECT_EQ(window.hints, row.hints);
}
const std::string kResetHint = "再按一次 R 重置本环节", kBackHint = "再按一次 Backspace 返回主页";
const SecondPressCase kSecondPress[] = {
    {"ResetTwice", 1, {Key::Space}, {{0, Key::R}, {1500, Key::R}}, 1, "", {kResetHint, ""}},
    {"BackTwiceAtTheLimit", 1, {Key::Space}, {{0, Key::Backspace}, {2000, Key::Backspace}}, 0, "", {kBackHint, ""}},
    {"TooSlow", 1, {Key::Space}, {{0, Key::R}, {2001, Key::R}}, 1, "1", {kResetHint, kResetHint}},
    {"ThirdPressAfterASlowSecond", 1, {Key::Space}, {{0, Key::R}, {2500, Key::R}, {100, Key::R}}, 1, "",
     {kResetHint, kResetHint, ""}},
    {"OtherKeyBetween", 1, {Key::Space}, {{0, Key::R}, {100, Key::Backspace}, {100, Key::R}}, 1, "1",
     {kResetHint, kBackHint, kResetHint}},
    {"PausedActsAtOnce", 1, {Key::Space, Key::Space}, {{0, Key::R}}, 1, "", {}},
    {"PausedBetweenThePresses", 1, {Key::Space}, {{0, Key::Backspace}, {100, Key::Space}, {100, Key::Backspace}}, 0,
     "", {kBackHint, ""}},
    {"AnswerAloneRunning", 3, {Key::Enter}, {{0, Key::R}}, 3, "2", {kResetHint}},
    {"FreeDebate", 9, {Key::Right}, {{0, Key::Backspace}, {10, Key::Backspace}}, 0, "", {kBackHint, ""}},
};
INSTANTIATE_TEST_SUITE_P(Table, SecondPress, ::testing::ValuesIn(kSecondPress),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatchTest, AFirstPressReportsOnlyItsHintAndClicksStayImmediate) {
    form->ShowPage(1);
    window.onKey(Key::Space);
    EXPECT_EQ(form->Form_KeyDown(Key::R), KeyOutcome::HintOnly);
    EXPECT_EQ(form->Form_KeyDown(Key::Left), KeyOutcome::Nothing);
    EXPECT_EQ(form->Form_KeyDown(Key::Space), KeyOutcome::Pressed);
    EXPECT_EQ(After("继续"), "1");
    Click("返回");  // a click asks nothing
    EXPECT_EQ(form->intPage(), 0);
    EXPECT_EQ(window.hints.size(), 1u);
}

// PageDown and PageUp walk the stages in debate order, as the home page's buttons open them.
TEST_F(DispatchTest, PagingKeysWalkTheStagesInOrderAndStopAtBothEnds) {
    std::vector<std::string> captions;
    for (int press = 0; press < 12; ++press) {
        EXPECT_EQ(window.onKey(Key::PageDown), press < 11) << press;  // stage 11 has no next
        captions.push_back(lblCaption.caption);
    }
    for (std::int16_t page = 1; page <= 11; ++page) EXPECT_EQ(captions[page - 1], Stage(page).name);
    EXPECT_EQ(form->intPage(), 11);
    for (int press = 0; press < 11; ++press) window.onKey(Key::PageUp);
    EXPECT_EQ(form->intPage(), 0);
    EXPECT_EQ(Bar(), Stage(0).buttons);  // home, as 返回 leaves it
    EXPECT_EQ(form->Form_KeyDown(Key::PageUp), KeyOutcome::Nothing);
    // The page it opens is the page the home button opens, countdown loaded.
    window.onKey(Key::PageDown);
    EXPECT_EQ(lblTimer1.caption + Bar(), "03:00开始|暂停|重置||返回");
}

TEST_F(DispatchTest, PagingKeysDoNothingWhileACountdownRuns) {
    for (const char* caption : {"自由辩论", "反方"}) Click(caption);  // countdown 2 alone
    EXPECT_FALSE(window.onKey(Key::PageDown) || window.onKey(Key::PageUp));
    EXPECT_EQ(form->intPage(), 9);
    Click("暂停");
    EXPECT_TRUE(window.onKey(Key::PageDown));
    EXPECT_EQ(form->intPage(), 10);
}

// F2 opens the summary only while no countdown runs (here the second alone); while one runs it shows its hint
// instead, and an R pressed before it counts no more.
TEST_F(DispatchTest, TheSummaryOpensOnlyWhileNoCountdownRuns) {
    EXPECT_TRUE(form->SummaryKey());
    for (const char* caption : {"自由辩论", "反方"}) Click(caption);
    EXPECT_EQ(Running(), "2");
    EXPECT_EQ(form->Form_KeyDown(Key::R), KeyOutcome::HintOnly);
    EXPECT_FALSE(form->SummaryKey());
    EXPECT_EQ(window.hints.back(), "计时进行中：暂停或结束后再按 F2 查看辩论小结");
    EXPECT_EQ(form->Form_KeyDown(Key::R), KeyOutcome::HintOnly);
    Click("暂停");
    EXPECT_TRUE(form->SummaryKey());
}

// Closing from the title bar asks only while a countdown runs; the answer decides.
TEST_F(DispatchTest, ClosingWhileACountdownRunsAsksFirst) {
    EXPECT_TRUE(window.onCloseRequest());  // the home page
    Click("正");
    EXPECT_TRUE(window.onCloseRequest());  // loaded, not started
    EXPECT_TRUE(window.questions.empty());
    Click("开始");
    window.answer = false;
    EXPECT_FALSE(window.onCloseRequest());
    EXPECT_EQ(Running(), "1");  // still timing the speech
    window.answer = true;
    EXPECT_TRUE(window.onCloseRequest());
    ASSERT_EQ(window.questions.size(), 2u);
    EXPECT_NE(window.questions[0].find("确定要关闭计时器吗？"), std::string::npos);
    Click("返回");
    Click("退出");
    EXPECT_EQ(window.closes, 1);
}

}  // namespace testsupport
