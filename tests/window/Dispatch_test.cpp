// What each button does, page by page (hand-over, the chess clock, reset, back), and the keys for them.
#include "WindowFixture.h"

namespace testsupport {

using DispatchTest = WindowTest;

TEST_F(DispatchTest, AboutOpensThePageBesideTheProgramAndExitCloses) {
    Click("关于");
    EXPECT_EQ(browser.opened, std::vector<std::string>{"/opt/Tolvanexa/about.html"});
    EXPECT_EQ(cmdCommand.buttons.size(), 20u);  // still the home page
    Click("退出");
    EXPECT_EQ(window.closes, 1);
}

TEST_F(DispatchTest, SpeechStartPauseContinueReset) {
    Click("正");
    EXPECT_EQ(After("开始"), "1");
    EXPECT_FALSE(Button(0).enabled);
    tmrTimer1.Tick(3);
    EXPECT_EQ(lblTimer1.caption, "02:57");
    EXPECT_EQ(After("暂停") + Button(1).caption, "继续");
    EXPECT_EQ(After("继续") + Button(1).caption, "1暂停");
    EXPECT_EQ(After("重置") + lblTimer1.caption, "03:00");
    EXPECT_TRUE(Button(0).enabled);
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

TEST_F(DispatchTest, HandBackOnPageFourRestartsThePausedQuestioner) {
    form->ShowPage(4);
    for (const char* caption : {"开始", "正方", "暂停"}) Click(caption);
    EXPECT_EQ(After("反方") + Button(1).caption, "1暂停");
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
        for (const auto& [index, button] : cmdCommand.buttons) state += button->enabled ? "+" : "-";
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
    {1, {}, Key::Space, "开始"}, {1, {Key::Space}, Key::Space, "暂停"}, {1, {Key::Space}, Key::R, "重置"},
    {1, {}, Key::Backspace, "返回"}, {1, {Key::Space}, Key::Enter, nullptr},
    {3, {Key::Space}, Key::Enter, "反方"}, {3, {Key::Space, Key::Enter}, Key::Enter, "正方"},
    {4, {Key::Space}, Key::Enter, "正方"}, {3, {Key::Space}, Key::Left, nullptr},
    {9, {}, Key::Right, "反方"}, {9, {Key::Right}, Key::Left, "正方"}, {9, {}, Key::Space, "暂停"},
    {0, {}, Key::Space, nullptr}, {0, {}, Key::Enter, nullptr}, {0, {}, Key::Left, nullptr},
    {0, {}, Key::Right, nullptr}, {0, {}, Key::R, nullptr}, {0, {}, Key::Backspace, nullptr}};
INSTANTIATE_TEST_SUITE_P(Table, Keys, ::testing::ValuesIn(kKeys));

}  // namespace testsupport
